// Reference-counted buffers. A JPEG file is mapped once and handed around by
// value: parsers hold windows (offset, length) onto the same mapping, and the
// mapping goes when its last holder does. Pixel buffers and encoder output
// use the same types over anonymous memory.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "libutils/alloc.h"

namespace libutils {

// Handle to a shared block {count, elements, allocator, storage}; copies
// share, the last holder releases. Reference counts are plain integers: one
// thread at a time.
template <class T, class A>
class refvector2 {
  protected:
    struct block_t {
        uint64_t refcount = 0;
        uint64_t count = 0;
        A alloc;
        T* storage = nullptr;
    };
    block_t* m_block = nullptr;

    void share(block_t* b) {
        m_block = b;
        if (m_block) ++m_block->refcount;
    }

  public:
    refvector2() = default;
    refvector2(const refvector2& o) { share(o.m_block); }
    refvector2& operator=(const refvector2& o) {
        if (m_block == o.m_block) return *this;
        deallocate();
        share(o.m_block);
        return *this;
    }
    virtual ~refvector2() { deallocate(); }

    virtual bool empty() const { return !m_block || m_block->count == 0 || !m_block->storage; }
    virtual uint64_t size() const { return m_block && m_block->storage ? m_block->count : 0; }
    virtual T* begin() { return m_block ? m_block->storage : nullptr; }
    virtual T* end() { return begin() + refvector2::size(); }
    virtual const T* begin() const { return m_block ? m_block->storage : nullptr; }
    virtual const T* end() const { return begin() + refvector2::size(); }
    virtual T* operator[](uint64_t i) { return begin() + i; }
    virtual const T* operator[](uint64_t i) const { return begin() + i; }
    virtual T* operator->() { return begin(); }
    virtual const T* operator->() const { return begin(); }

    bool is_allocated() const { return m_block && m_block->storage; }

    // Makes a new block of `count` elements filled by the allocator (from the
    // file when one is named; count 0 with a file means the whole file).
    bool allocate(uint64_t count, const char* filename, int prot, uint64_t offset) {
        deallocate();
        block_t* b = make_block(count, filename, prot, offset);
        if (!b) return false;
        m_block = b;
        return true;
    }

    virtual bool load(uint64_t count, const char* filename, int prot, uint64_t offset, bool keep) {
        if (!keep) deallocate();
        block_t* b = make_block(count, filename, prot, offset);
        if (!b) return false;
        if (m_block) {
            if (m_block->storage)
                std::memcpy(b->storage, m_block->storage,
                            sizeof(T) * std::min(b->count, m_block->count));
            deallocate();
        }
        m_block = b;
        return true;
    }

    // Grows or shrinks the block in place; other holders see the change.
    virtual bool resize(uint64_t count, uint64_t offset = 0) {
        if (!m_block) return allocate(count, nullptr, prot_readwrite, offset);
        void* p = m_block->alloc.reallocate(m_block->storage, count * sizeof(T), offset);
        if (p)
            m_block->storage = static_cast<T*>(p);
        else {
            m_block->alloc.deallocate(m_block->storage);
            m_block->storage = nullptr;
        }
        m_block->count = p ? count : 0;
        return p != nullptr;
    }

    virtual void clear() { deallocate(); }

    void deallocate() {
        if (!m_block) return;
        if (--m_block->refcount == 0) {
            if (m_block->storage) m_block->alloc.deallocate(m_block->storage);
            delete m_block;
        }
        m_block = nullptr;
    }

    // How many handles share the block (0 without one); for tests and asserts.
    uint64_t use_count() const { return m_block ? m_block->refcount : 0; }

  protected:
    static block_t* make_block(uint64_t count, const char* filename, int prot, uint64_t offset) {
        block_t* b = new (std::nothrow) block_t;
        if (!b) return nullptr;
        uint64_t bytes = count * sizeof(T);
        void* p = b->alloc.allocate(bytes, filename, prot, offset);
        if (!p) {
            delete b;
            return nullptr;
        }
        b->refcount = 1;
        b->count = bytes / sizeof(T);
        b->storage = static_cast<T*>(p);
        return b;
    }
};

// refvector2 with a visible window: offset and length (npos = to the end).
template <class T, class A>
class ofsvector : public refvector2<T, A> {
    using base = refvector2<T, A>;

  public:
    static constexpr uint64_t npos = ~uint64_t(0);
    uint64_t offset = 0;
    uint64_t length = npos;

    ofsvector() = default;
    ofsvector(const ofsvector& o) : base(o), offset(o.offset), length(o.length) {}
    ofsvector& operator=(const ofsvector& o) {
        base::operator=(o);
        offset = o.offset;
        length = o.length;
        return *this;
    }
    ~ofsvector() override = default;

    bool empty() const override { return base::empty() || length == 0 || size() == 0; }
    uint64_t size() const override {
        uint64_t n = base::size();
        n = n > offset ? n - offset : 0;
        return length != npos && length < n ? length : n;
    }
    T* begin() override { return base::begin() ? base::begin() + offset : nullptr; }
    T* end() override { return begin() + size(); }
    const T* begin() const override { return base::begin() ? base::begin() + offset : nullptr; }
    const T* end() const override { return begin() + size(); }
    T* operator[](uint64_t i) override { return begin() + i; }
    const T* operator[](uint64_t i) const override { return begin() + i; }
    T* operator->() override { return begin(); }
    const T* operator->() const override { return begin(); }

    bool load(uint64_t count, const char* filename, int prot, uint64_t off, bool keep) override {
        bool ok = base::load(count, filename, prot, off, keep);
        if (ok) {
            offset = 0;
            length = npos;
        }
        return ok;
    }

    // Always detaches: the resized buffer is new anonymous memory holding the
    // start of the current window; other holders keep the old contents.
    bool resize(uint64_t count, uint64_t off = 0) override {
        if (!this->m_block) {
            offset = 0;
            length = npos;
            return base::resize(count, off);
        }
        ofsvector fresh;
        if (!fresh.base::allocate(count, nullptr, prot_readwrite, 0)) {
            base::deallocate();
            offset = 0;
            length = npos;
            return false;
        }
        uint64_t n = std::min(size(), count);
        if (n) std::memcpy(fresh.base::begin(), begin(), n * sizeof(T));
        *this = fresh;
        return true;
    }

    void clear() override {
        base::deallocate();
        offset = 0;
        length = npos;
    }

    // A window of `source`: starts `off` elements into source's window (but
    // no further than its end) and is `len` long (npos: to the end).
    // The source may be this window itself: everything needed from it is
    // read before the window changes.
    void setwindow(const ofsvector& source, uint64_t off, uint64_t len) {
        const uint64_t source_offset = source.offset;
        const uint64_t source_len = source.size();
        const bool to_the_end = source.length == npos;
        const uint64_t start = source_offset + std::min(off, source_len);
        if (this != &source) *this = source;
        offset = start;
        // The new window never reaches past the source's window.
        const uint64_t room = source_offset + source_len - start;
        length = (len == npos || len > room) ? room : len;
        if (len == npos && to_the_end) length = npos;
    }
};

// Array storage with the header and the elements in one allocation.
template <class T, class A = alloc_new>
class refvector {
    struct header_t {
        uint64_t refcount;
        uint64_t count;
        A alloc;
    };
    header_t* m_head = nullptr;
    T* elements() const { return reinterpret_cast<T*>(m_head + 1); }

  public:
    refvector() = default;
    refvector(const refvector& o) : m_head(o.m_head) {
        if (m_head) ++m_head->refcount;
    }
    refvector& operator=(const refvector& o) {
        if (m_head == o.m_head) return *this;
        deallocate();
        m_head = o.m_head;
        if (m_head) ++m_head->refcount;
        return *this;
    }
    virtual ~refvector() { deallocate(); }

    bool empty() const { return !m_head || m_head->count == 0; }
    uint64_t size() const { return m_head ? m_head->count : 0; }
    T* begin() { return m_head ? elements() : nullptr; }
    T* end() { return begin() + size(); }
    const T* begin() const { return m_head ? elements() : nullptr; }
    const T* end() const { return begin() + size(); }
    T* operator[](uint64_t i) { return begin() + i; }
    const T* operator[](uint64_t i) const { return begin() + i; }
    bool is_allocated() const { return m_head != nullptr; }

    bool resize(uint64_t count) {
        if (count == 0) {
            deallocate();
            return true;
        }
        void* raw = ::operator new(sizeof(header_t) + count * sizeof(T), std::nothrow);
        if (!raw) return false;
        header_t* h = static_cast<header_t*>(raw);
        h->refcount = 1;
        h->count = count;
        new (&h->alloc) A();
        T* e = reinterpret_cast<T*>(h + 1);
        std::memset(static_cast<void*>(e), 0, count * sizeof(T));
        header_t* old = m_head;
        if (old)
            std::memcpy(static_cast<void*>(e), elements(), std::min(count, old->count) * sizeof(T));
        m_head = h;
        release(old);
        return true;
    }
    void clear() { deallocate(); }
    void deallocate() {
        release(m_head);
        m_head = nullptr;
    }

  private:
// GCC 12 cannot follow the count across inlined copies and warns of a use
// after free that cannot happen.
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuse-after-free"
#endif
    static void release(header_t* h) {
        if (h && --h->refcount == 0) {
            h->alloc.~A();
            ::operator delete(h);
        }
    }
#if defined(__GNUC__) && !defined(__clang__) && __GNUC__ >= 12
#pragma GCC diagnostic pop
#endif
};

// Sole owner of one heap object.
template <class T>
class ptr_t {
    T* m_p = nullptr;

  public:
    ptr_t() = default;
    explicit ptr_t(T* p) : m_p(p) {}
    ptr_t(const ptr_t&) = delete;
    ptr_t& operator=(const ptr_t&) = delete;
    ~ptr_t() { free(); }
    ptr_t& operator=(T* p) {
        if (p != m_p) {
            free();
            m_p = p;
        }
        return *this;
    }
    void free() {
        delete m_p;
        m_p = nullptr;
    }
    bool operator!() const { return m_p == nullptr; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    T* get() const { return m_p; }
};

// Shared owner of one object; copies share it.
template <class T>
class refobject {
    struct obj_t {
        uint64_t refcount;
        T object;
    };
    obj_t* m_obj = nullptr;

  public:
    refobject() = default;
    refobject(const refobject& o) { share(o); }
    refobject& operator=(const refobject& o) {
        if (this != &o && m_obj != o.m_obj) {
            relobject();
            share(o);
        }
        return *this;
    }
    ~refobject() { relobject(); }

    bool newobject() {
        relobject();
        m_obj = new (std::nothrow) obj_t{1, T()};
        return m_obj != nullptr;
    }
    void relobject() {
        if (m_obj && --m_obj->refcount == 0) delete m_obj;
        m_obj = nullptr;
    }
    T* operator->() const { return m_obj ? &m_obj->object : nullptr; }
    explicit operator bool() const { return m_obj != nullptr; }
    uint64_t use_count() const { return m_obj ? m_obj->refcount : 0; }

  private:
    void share(const refobject& o) {
        m_obj = o.m_obj;
        if (m_obj) ++m_obj->refcount;
    }
};

// The byte buffer of every JPEG file, segment and picture.
using bytevector = ofsvector<unsigned char, alloc_mmap_unix>;

}  // namespace libutils

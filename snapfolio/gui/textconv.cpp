#include "snapfolio/gui/textconv.h"

#include <glib.h>
#include <glibmm/convert.h>

namespace snapfolio {

Glib::ustring to_utf8(const std::string& locale_text) {
    try {
        return Glib::locale_to_utf8(locale_text);
    } catch (const Glib::Error&) {
        gchar* valid = g_utf8_make_valid(locale_text.data(), (gssize)locale_text.size());
        Glib::ustring text(valid);
        g_free(valid);
        return text;
    }
}

std::string from_utf8(const Glib::ustring& text) {
    try {
        return Glib::locale_from_utf8(text);
    } catch (const Glib::Error&) {
        // Text the locale cannot hold is kept as typed rather than lost.
        return text.raw();
    }
}

std::string text_of(const Gtk::TextView& view) {
    auto buffer = const_cast<Gtk::TextView&>(view).get_buffer();
    return from_utf8(buffer->get_text(true));
}

Glib::ustring msg(e_message_local_t number) {
    return to_utf8(getmsg(number));
}

Glib::ustring stock_label(const char* label) {
    return g_dgettext("gtk30", label);
}

}  // namespace snapfolio

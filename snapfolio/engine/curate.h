// Curating albums: what the edit-album dialog and the two best-of review
// dialogs write when the user presses OK or Apply. The dialogs hold the mark
// lists and the comments as typed; these functions put them on disk and
// bring the pages up to date, with every failure reported on the caller's
// stream as one line (subject, then a text beginning with ": "), so that the
// dialog can show the user which files were not written and why. Every list
// and comment file is replaced atomically; a failure of one does not stop
// the others.
#pragma once

#include <sigc++/sigc++.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "snapfolio/engine/album.h"
#include "snapfolio/engine/progress.h"

namespace snapfolio {

// The dialogs' angle field in degrees as clockwise quarter turns: 0, 90,
// 180 and 270 give 0 to 3; any other angle is reported on err as
// "<name>: <angle>: not 90/180/270." and gives 0.
uint64_t quarter_turns(const std::string& name, int angle, std::ostream& err);

// One picture's comment: as loaded when the dialog was made and as it is
// now (both in the locale's encoding).
struct comment_edit_t {
    size_t album = 0;  // index into the collection's albums; 0 for one album
    std::string name;  // the picture's file name
    std::string loaded;
    std::string text;
};

// Saves the five mark lists of `marks`, then good and fail, each only when
// it changed. When a mark list or good was written, the book's "_Best/txt"
// is made (mode 0755) and best_changed set: the best-of pages are out of
// date. Each list that cannot be written is reported on err and the others
// are still saved; false when any failed.
bool save_album_marks(album_t& marks, best_t& good, best_t& fail, bool& best_changed,
                      std::ostream& err);

// Saves every comment that changed into albumdir's "txt/"; a saved comment
// of a picture in good sets best_changed. A comment that cannot be saved is
// reported on err ("<name>: save comment fail." after the file's own line)
// and the others are still saved; false when any failed.
bool save_all_comment(const std::string& albumdir, const std::vector<comment_edit_t>& comments,
                      const best_t& good, bool& best_changed, std::ostream& err);

// Creates path's "txt/secret.txt" when secret, removes it otherwise.
bool set_secret(const path_t& path, bool secret, std::ostream& err);

// The book's best-of pages after an edit of its album `album`: "_Best" and
// "_BestBook" of the album's book, then "_BestBook" of every book above it
// up to the album root that has one. False when any page failed.
bool rebuild_best_of(const path_t& album, sigc::signal<void, double>& index_progress,
                     sigc::signal<void, double>& list_progress);

// The source albums of a best-of collection (entry.dir is the book's
// directory): for "_Best" the albums directly in the book, for "_BestBook"
// every album of the book's hierarchy; "txt" and names beginning with "_"
// are never albums. Each album is loaded. False when the book cannot be
// listed.
bool collection_albums(std::vector<album_t>& albums, const path_t& entry, bool book_wide);

// Saves a review dialog's edits: the changed comments (each marks its album
// dirty), then every album's mark lists; an album that wrote anything gets
// its pages made again; last the collection's own pages ("_Best", or
// "_BestBook" when book_wide). Progress: the albums' pages on html and
// zoom, the collection's on best_index and best_list. Failures are reported
// on err and the rest goes on; false when any step failed.
bool save_collection(std::vector<album_t>& albums, const std::vector<comment_edit_t>& comments,
                     const path_t& entry, bool book_wide, progress_signals_t& progress,
                     std::ostream& err);

}  // namespace snapfolio

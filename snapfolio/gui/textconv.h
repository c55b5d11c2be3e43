// Texts between the locale's encoding (catalogue, settings, comment files)
// and GTK's UTF-8. Text that does not convert never ends the program: bytes
// invalid in the locale are replaced on the way to GTK (a stray Shift-JIS
// comment in a UTF-8 session still shows), and text the locale cannot hold
// is kept as typed on the way back.
#pragma once

#include <glibmm/ustring.h>
#include <gtkmm/textview.h>

#include <string>

#include "snapfolio/engine/message.h"

namespace snapfolio {

Glib::ustring to_utf8(const std::string& locale_text);  // Glib::locale_to_utf8
std::string from_utf8(const Glib::ustring& text);       // Glib::locale_from_utf8

// A text view's whole text, hidden characters included, in the locale's
// encoding.
std::string text_of(const Gtk::TextView& view);

// A catalogue message ready for GTK.
Glib::ustring msg(e_message_local_t number);

// GTK's own, translated label for a stock action ("_OK", "_Cancel", "_Open").
Glib::ustring stock_label(const char* label);

}  // namespace snapfolio

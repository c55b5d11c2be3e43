// The album program's message numbers: line numbers of its catalogue file
// (data/snapfolio.msg and its translations). The names say what each text
// is used for; the number is what the catalogue is indexed by.
#pragma once

#include "glimlib/message.h"

namespace snapfolio {

enum e_message_local_t : glimlib::e_message_t {
    msg_program_name = 0,  // window titles
    msg_menu_window = 1,
    msg_view = 2,       // a book's row button; view dialogs' title
    msg_new_book = 3,   // make-book dialog
    msg_new_album = 4,  // make-album dialog
    msg_best_pictures = 5,
    msg_open_browser = 6,
    msg_settings = 7,
    msg_edit = 8,
    msg_move = 9,     // not placed in the menu window
    msg_delete = 10,  // not placed in the menu window
    msg_close = 11,
    msg_book_folder = 12,
    msg_camera_folder = 13,
    msg_album_folder = 14,
    msg_choose_files = 15,
    msg_invert = 16,
    msg_reload = 17,
    msg_browse = 18,
    msg_import_from = 19,
    msg_album = 20,
    msg_title = 21,
    msg_comment = 22,
    msg_head_text = 23,
    msg_last_text = 24,
    msg_error = 25,  // title of every error box
    msg_no_title = 26,
    msg_no_source = 27,
    msg_no_album_name = 28,
    msg_build_failed = 29,
    msg_save_failed = 30,
    msg_shrink_size = 31,
    msg_jpeg_quality = 32,
    msg_horizontal_items = 33,
    msg_html_header = 34,
    msg_html_address = 35,
    msg_metering_center = 36,  // EXIF metering mode 2
    msg_metering_spot = 37,    // EXIF metering mode 3
    msg_list = 38,
    msg_folder = 39,
    msg_no_file_selected = 40,
    msg_album_exists = 41,
    msg_viewer = 42,
    msg_unused_43 = 43,
    msg_remove = 44,
    msg_update_all = 45,
    msg_pictures = 46,
    msg_show_level = 47,
    msg_view_size = 48,
    msg_secret = 49,
    msg_best = 50,
    msg_apply = 51,
    msg_submit = 52,
    msg_print = 53,
    msg_upload = 54,
    msg_good = 55,
    msg_subtle = 56,
    msg_fail = 57,
    msg_rotate = 58,
    msg_hwaccel = 59,
    msg_ffmpeg = 60,
    msg_movie_player = 61,
    msg_play_size = 62,
    msg_html_header_check = 63,
    msg_glimvue3 = 64,
    msg_movie_retina = 65,
    msg_count = 66  // lines of a complete catalogue
};

inline const char* getmsg(e_message_local_t number) {
    return glimlib::getmsg(number);
}

}  // namespace snapfolio

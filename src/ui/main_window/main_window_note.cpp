// The menu "Журнал" and its note: the note goes to the chart as a flag and to
// the journal of every running column (core/journal/operator_note.h).
#include "core/journal/operator_note.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/note_dialog.h"

namespace flextor {

void MainWindow::BuildJournalMenu() {
    journal_menu_.append(journal_note_);
    journal_title_.set_submenu(journal_menu_);
    menu_bar_.append(journal_title_);
    journal_note_.signal_activate().connect([this] { OnNoteItem(); });
}

void MainWindow::OnNoteItem() {
    NoteDialog dialog(*this);
    if (dialog.run() == Gtk::RESPONSE_OK && AddOperatorNote(dialog.Text())) {
        chart_canvas_.queue_draw();
    }
}

}  // namespace flextor

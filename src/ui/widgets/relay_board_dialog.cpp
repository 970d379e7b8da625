#include "ui/widgets/relay_board_dialog.h"

#include <gtkmm.h>

namespace flextor {
namespace {

// Fixed places, so that a finger on a small touch screen (and a test) finds
// the two answers where they always are.
constexpr int kWidth = 520;
constexpr int kMargin = 16;
constexpr int kInner = kWidth - 2 * kMargin;
constexpr int kQuestionY = 12;
constexpr int kHighY = 96;
constexpr int kLowY = 160;
constexpr int kButtonHeight = 52;
constexpr int kHintY = 226;
constexpr int kHeight = 360;

enum Response { kResponseHigh = 1, kResponseLow = 2 };

class RelayBoardDialog : public Gtk::Dialog {
  public:
    RelayBoardDialog() : Gtk::Dialog("Первый запуск: модуль реле", true) {
        set_name("RelayBoardDialog");
        set_resizable(false);
        set_deletable(true);
        set_position(Gtk::WIN_POS_CENTER);
        set_border_width(0);
        get_content_area()->set_border_width(0);
        get_content_area()->pack_start(place_, Gtk::PACK_EXPAND_WIDGET);
        place_.set_size_request(kWidth, kHeight);
        Wrapped(question_,
                "Какой релейный модуль подключён к выходам? Пока вы не ответите, программа "
                "не трогает ни один вывод GPIO: ни одно реле не включится.",
                kQuestionY, 76);
        Answer(high_, "HighLevel", "Реле включаются высоким уровнем (3,3 В)", kHighY,
               kResponseHigh);
        Answer(low_, "LowLevel",
               "Реле включаются низким уровнем (0 В), как у большинства "
               "дешёвых модулей",
               kLowY, kResponseLow);
        Wrapped(hint_,
                "Как отличить: подайте питание на модуль, не подключая его к Raspberry Pi, и "
                "соедините вход IN1 с GND. Если реле щёлкнуло и загорелся его светодиод, "
                "модуль включается низким уровнем. Ответ записывается в Options.ini "
                "([Outputs] ActiveLow); изменить его можно на странице «Дополнительно» окна "
                "настроек, он действует со следующего запуска.",
                kHintY, kHeight - kHintY - kMargin);
        show_all_children();
    }

  private:
    void Wrapped(Gtk::Label& label, const char* text, int y, int height) {
        label.set_text(text);
        label.set_line_wrap(true);
        label.set_max_width_chars(56);  // wrapped within the width asked for
        label.set_xalign(0.0f);
        label.set_yalign(0.0f);
        label.set_size_request(kInner, height);
        place_.put(label, kMargin, y);
    }

    void Answer(Gtk::Button& button, const char* name, const char* text, int y, int response) {
        button.set_name(name);
        button.set_label(text);
        if (auto* caption = dynamic_cast<Gtk::Label*>(button.get_child())) {
            caption->set_line_wrap(true);
            caption->set_max_width_chars(48);
            caption->set_justify(Gtk::JUSTIFY_CENTER);
        }
        button.set_size_request(kInner, kButtonHeight);
        // No answer is chosen by a stray Return: only a click (or a touch) answers.
        button.set_can_focus(false);
        button.signal_clicked().connect([this, response] { this->response(response); });
        place_.put(button, kMargin, y);
    }

    Gtk::Fixed place_;
    Gtk::Label question_;
    Gtk::Button high_;
    Gtk::Button low_;
    Gtk::Label hint_;
};

}  // namespace

RelayBoardAnswer AskRelayBoard() {
    RelayBoardDialog dialog;
    switch (dialog.run()) {
        case kResponseHigh:
            return RelayBoardAnswer::kHigh;
        case kResponseLow:
            return RelayBoardAnswer::kLow;
        default:
            return RelayBoardAnswer::kNone;
    }
}

}  // namespace flextor

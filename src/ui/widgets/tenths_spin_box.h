// A spin box of tenths of a degree: a text entry with up and down arrows beside
// it. The integer state and the text are kept apart on purpose: typing changes
// only what the owner decides, and the text is written by SetTenthsField.
// GUI thread only.
#pragma once

#include <gtkmm.h>

#include <string>

namespace flextor {

class TenthsSpinBox : public Gtk::Box {
  public:
    TenthsSpinBox(int minimum, int maximum);
    ~TenthsSpinBox() override;
    TenthsSpinBox(const TenthsSpinBox&) = delete;
    TenthsSpinBox& operator=(const TenthsSpinBox&) = delete;

    int State() const { return state_; }
    // Clamped to the range; the text stays.
    void SetState(int value);
    std::string Text() const;
    // Writes the text without reporting it as the operator's edit.
    void SetText(const std::string& text);

    // What an arrow does: moves the state one step within the range, then
    // reports the arrow.
    void StepUp() { Step(1); }
    void StepDown() { Step(-1); }

    Gtk::Entry& Entry() { return entry_; }

    // Emitted after an arrow has moved the state.
    sigc::signal<void()>& signal_arrow() { return arrow_; }
    // Emitted for every edit of the text by the operator.
    sigc::signal<void()>& signal_text_edited() { return text_edited_; }

  private:
    class ArrowButton : public Gtk::Button {
      public:
        explicit ArrowButton(bool up);

      private:
        bool DrawGlyph(const Cairo::RefPtr<Cairo::Context>& cr);
        Gtk::DrawingArea glyph_;
        bool up_;
    };

    void Step(int delta);
    bool OnArrowPress(GdkEventButton* event, int delta);
    bool OnArrowRelease(GdkEventButton* event);
    bool RepeatStep(int delta);
    bool OnKeyPress(GdkEventKey* event);
    bool OnScroll(GdkEventScroll* event);
    void OnEntryChanged();

    Gtk::Entry entry_;
    Gtk::Box arrows_;
    ArrowButton up_;
    ArrowButton down_;
    sigc::connection repeat_;
    sigc::signal<void()> arrow_;
    sigc::signal<void()> text_edited_;
    int minimum_;
    int maximum_;
    int state_ = 0;
    bool writing_text_ = false;
};

}  // namespace flextor

// The page "График": the chart's nine colours, picked one at a time from a list
// and shown in a swatch, and the chart's options (settings of group Graph).
#pragma once

#include <gtkmm.h>

#include <array>
#include <cstdint>

#include "core/settings/settings.h"
#include "ui/widgets/colour_swatch.h"

namespace flextor {

class ChartPage : public Gtk::Fixed {
  public:
    ChartPage();

    void Fill(const GraphSettings& graph);
    void Store(GraphSettings& graph) const;
    void SetAutoScroll(bool on) { auto_scroll_.set_active(on); }

    // The colour of the selected list item, as the colour chooser sets it.
    void SetSelectedColour(int32_t colour);
    int32_t SelectedColour() const;

    Gtk::ComboBoxText& ColourList() { return colour_list_; }
    ColourSwatch& Swatch() { return swatch_; }
    Gtk::CheckButton& AutoScrollCheck() { return auto_scroll_; }

  private:
    void OnColourSelected();
    bool OnSwatchPress(GdkEventButton* event);
    bool OnSwatchKeyRelease(GdkEventKey* event);
    void ChooseColour();

    Gtk::Frame colour_frame_;
    Gtk::ComboBoxText colour_list_;
    std::array<int32_t, kColorCount> colours_{};  // the list items' data
    Gtk::Frame swatch_border_;
    ColourSwatch swatch_;
    Gtk::CheckButton new_day_;
    Gtk::CheckButton auto_scroll_;
};

}  // namespace flextor

// A log list that remembers its rows and when it was scrolled, for headless tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/log/message_log.h"

namespace flextor::test {

class RecordingLogView final : public LogView {
  public:
    struct Row {
        std::string text;
        uint8_t level;
    };

    std::vector<Row> rows;
    int selectCount = 0;
    // The number of rows when the last row was last selected (0: never selected).
    size_t rowsAtLastSelect = 0;

    void AppendRow(const std::string& text, uint8_t level) override {
        rows.push_back(Row{text, level});
    }
    void SelectLastRow() override {
        ++selectCount;
        rowsAtLastSelect = rows.size();
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Row& row : rows) {
            texts.push_back(row.text);
        }
        return texts;
    }
    // True when the list was scrolled after its newest row was added.
    bool ShowsNewestRow() const { return selectCount > 0 && rowsAtLastSelect == rows.size(); }
};

}  // namespace flextor::test

// Number texts in the locales the operators run the program in, where the C
// library writes and reads "78,5": the program's own texts must not change.
#include <gtest/gtest.h>
#include <gtkmm.h>

#include <clocale>
#include <functional>
#include <locale>
#include <string>

#include "core/logic/number_text.h"
#include "ui/widgets/style.h"
#include "ui/widgets/tenths_text.h"

namespace flextor {
namespace {

// Puts the C library and the C++ global locale into GetParam() for one test
// and back into what they were afterwards.
class InOperatorLocale : public testing::TestWithParam<const char*> {
  protected:
    void SetUp() override {
        c_locale_ = std::setlocale(LC_ALL, nullptr);
        if (std::setlocale(LC_ALL, GetParam()) == nullptr) {
            GTEST_SKIP() << "locale " << GetParam()
                         << " is not installed (scripts/setup.sh generates it)";
        }
        cpp_locale_ = std::locale::global(std::locale(GetParam()));
        // Without the decimal comma in effect the test would prove nothing.
        ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    }

    void TearDown() override {
        std::locale::global(cpp_locale_);
        std::setlocale(LC_ALL, c_locale_.c_str());
    }

  private:
    std::string c_locale_;
    std::locale cpp_locale_;
};

struct NumberText {
    const char* what;
    std::function<std::string()> text;
    const char* expected;
};

std::string Css(const char* font) {
    return FontCss(Pango::FontDescription(font));
}

const NumberText kNumberTexts[] = {
    {"tenths", [] { return TenthsText(785); }, "78.5"},
    {"negative tenths", [] { return TenthsText(-5); }, "-0.5"},
    {"litres", [] { return LitresText(1500); }, "1.500"},
    {"decimal with fraction", [] { return DecimalText(-10.25); }, "-10.25"},
    {"typed tenths", [] { return std::to_string(ParseTenths("78.5")); }, "785"},
    {"typed comma ends the number", [] { return std::to_string(ParseTenths("12,5")); }, "120"},
    {"style in points", [] { return Css("FreeSans 10"); },
     "font-family: \"FreeSans\"; font-size: 10pt; font-weight: 400; font-style: normal;"},
    {"style with fraction", [] { return Css("FreeSans Bold 10.5"); },
     "font-family: \"FreeSans\"; font-size: 10.5pt; font-weight: 700; font-style: normal;"},
    {"style in pixels", [] { return Css("FreeSans Italic 12px"); },
     "font-family: \"FreeSans\"; font-size: 12px; font-weight: 400; font-style: italic;"},
};

TEST_P(InOperatorLocale, NumberTextsKeepThePoint) {
    for (const NumberText& number : kNumberTexts) {
        EXPECT_EQ(number.text(), number.expected) << number.what;
    }
}

TEST_P(InOperatorLocale, TheToolkitAcceptsTheFontStyle) {
    auto provider = Gtk::CssProvider::create();
    const std::string css = ".x { " + Css("FreeSans 10.5") + " }";
    EXPECT_NO_THROW(provider->load_from_data(css)) << css;
}

// "ru_RU.UTF-8" → "ru".
std::string Language(const testing::TestParamInfo<const char*>& locale) {
    return std::string(locale.param).substr(0, 2);
}

INSTANTIATE_TEST_SUITE_P(Locales, InOperatorLocale, testing::Values("ru_RU.UTF-8", "de_DE.UTF-8"),
                         Language);

}  // namespace
}  // namespace flextor

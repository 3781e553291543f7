#include "crashreport/trackers/html_form.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace faulttrap {
namespace {

using Reader = std::function<std::optional<std::string>(std::string_view page)>;

struct TFormCase {
    const char* name;
    std::string page;
    Reader read;
    std::optional<std::string> found;
};

Reader Input(std::string name) {
    return [name](std::string_view page) { return InputValue(page, name); };
}
Reader Textarea(std::string name) {
    return [name](std::string_view page) { return TextareaContent(page, name); };
}
Reader Selected(std::string name) {
    return [name](std::string_view page) { return SelectedValue(page, name); };
}
Reader ByLabel(std::string name, std::string label) {
    return [name, label](std::string_view page) { return OptionValueByLabel(page, name, label); };
}

const TFormCase Cases[] = {
    {"InputFound", R"(<p><input type="hidden" name="m_id" value="0"></p>)", Input("m_id"), "0"},
    {"InputNameIgnoresCase", R"(<INPUT TYPE=hidden NAME=Bug_Id VALUE=42>)", Input("bug_id"), "42"},
    {"InputValueKeepsCase", R"(<input name="os" value="Debian GNU/Linux" />)", Input("os"),
     "Debian GNU/Linux"},
    {"InputSpacesAroundEquals", R"(<input name = "os"   value =  'Linux'>)", Input("os"), "Linux"},
    {"InputEmptyValueSkipped",
     R"(<input name="platform" value=""><input name="platform" value="x86-64">)", Input("platform"),
     "x86-64"},
    {"InputOnlyEmptyValues", R"(<input name="platform" value=""><input name="platform">)",
     Input("platform"), std::nullopt},
    {"InputMissing", R"(<input name="other" value="1">)", Input("platform"), std::nullopt},
    {"InputEndMarkerInDoubleQuotes", R"(<input value="a>b/>c" name="t"><input name="x" value="1">)",
     Input("t"), "a>b/>c"},
    {"InputEndMarkerInSingleQuotes", R"(<input name='t' value='1 > 0'>)", Input("t"), "1 > 0"},
    {"InputSelfClosed", R"(<input name="id" value="43"/><input name="x" value="y">)", Input("id"),
     "43"},
    {"InputUnquotedValueEndsAtBlank", R"(<input name=id value=43 type=hidden>)", Input("id"), "43"},
    {"InputNameInsideAnotherAttribute", R"(<input data-name="id" name="bugid" value="1">)",
     Input("id"), std::nullopt},
    {"InputValueQuoteIsDecodedAfterReading",
     R"(<input name="t" value="&quot;a b&quot; &amp;lt; c">)", Input("t"), "\"a b\" < c"},
    {"InputNumericReferences", R"(<input name="t" value="S&#227;o&#33;">)", Input("t"), "S\xE3o!"},
    {"InputUnclosedQuoteRunsToTheEnd", R"(<input name="t" value="open)", Input("t"), "open"},
    {"TextareaContentTrimmed",
     R"(<textarea name="description" rows=5>  Crash &amp; burn  </textarea>)",
     Textarea("description"), "Crash & burn"},
    {"TextareaEmpty", R"(<textarea name="bugnote_text"></textarea>)", Textarea("bugnote_text"), ""},
    {"TextareaSelfClosed", R"(<textarea name="c"/><textarea name="d">x</textarea>)", Textarea("c"),
     ""},
    {"TextareaEndInQuotesOfItsTag", R"(<textarea title="</textarea>" name="c">text</textarea>)",
     Textarea("c"), "text"},
    {"TextareaMissing", R"(<textarea name="c">x</textarea>)", Textarea("d"), std::nullopt},
    {"SelectedOption",
     R"(<select name="severity"><option value="10">feature</option><option value="50" selected="selected">minor</option></select>)",
     Selected("severity"), "50"},
    {"SelectedBareWord",
     R"(<select name="s"><option value="1">a</option><option selected value="2">b</option></select>)",
     Selected("s"), "2"},
    {"SelectedInsideQuotesDoesNotCount",
     R"(<select name="s"><option value="1" title="selected">a</option><option value="2" selected>b</option></select>)",
     Selected("s"), "2"},
    {"SelectedInLabelDoesNotCount",
     R"(<select name="s"><option value="1">a</option><option value="2">not selected</option></select>)",
     Selected("s"), "1"},
    {"NoSelectedOptionGivesTheFirst",
     R"(<select name="s"><option value="7">a</option><option value="8">b</option></select>)",
     Selected("s"), "7"},
    {"ListWithoutOptions", R"(<select name="s"></select>)", Selected("s"), ""},
    {"FirstListOfTheName",
     R"(<select name="s"><option value="1" selected>a</option></select><select name="s"><option value="2" selected>b</option></select>)",
     Selected("s"), "1"},
    {"OptionsWithoutEndTags",
     R"(<select name="s"><option value="1">a<option value="2" selected>b</select>)", Selected("s"),
     "2"},
    {"NoSuchList", R"(<select name="t"><option value="1">a</option></select>)", Selected("s"),
     std::nullopt},
    {"ByLabelIgnoringCase",
     R"(<select name="project_id"><option value="0" selected>All Projects</option><option value="7">Pharmacy</option></select>)",
     ByLabel("project_id", "PHARMACY"), "7"},
    {"ByLabelMissingGivesSelected",
     R"(<select name="project_id"><option value="0">All</option><option value="3" selected="selected">Lab</option></select>)",
     ByLabel("project_id", "Pharmacy"), "3"},
    {"ByLabelDropsUnknownReferenceRuns",
     R"(<select name="p"><option value="9">&raquo; Web</option><option value="7">&nbsp;&nbsp;Lab&nbsp;</option></select>)",
     ByLabel("p", "Web"), "9"},
    {"ByLabelDecodesKnownReferences",
     R"(<select name="p"><option value="4">Farm&aacute;cia &amp; Lab</option></select>)",
     ByLabel("p", "Farm\xE1"
                  "cia & Lab"),
     "4"},
    {"ByLabelNoSuchList", R"(<p>no lists</p>)", ByLabel("p", "x"), std::nullopt},
};

class HTMLFormTest : public testing::TestWithParam<TFormCase> {};

TEST_P(HTMLFormTest, ReadsTheForm) {
    EXPECT_EQ(GetParam().read(GetParam().page), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Snippets, HTMLFormTest, testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace faulttrap

#include "crashreport/report/report_texts.h"

#include "crashreport/options/customized_texts.h"

namespace faulttrap {

ReportTexts ReportTexts::Defaults() {
    ReportTexts texts;
    for (std::size_t number = 0; number < kCount; ++number) {
        texts.text[number] = TCustomizedTexts::DefaultText(TextIdOfNumber(number));
    }
    return texts;
}

} // namespace faulttrap

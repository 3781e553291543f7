#include "app/fontes.h"

#include <QStringList>

namespace olvendra::app {

namespace {

QStringList Familias(Familia familia) {
    switch (familia) {
    case Familia::Arial:
        return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                QStringLiteral("DejaVu Sans")};
    case Familia::ArialNarrow:
        return {QStringLiteral("Arial Narrow"), QStringLiteral("Liberation Sans Narrow"),
                QStringLiteral("DejaVu Sans Condensed")};
    case Familia::MsSansSerif:
        return {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"),
                QStringLiteral("DejaVu Sans")};
    case Familia::TimesNewRoman:
        return {QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                QStringLiteral("DejaVu Serif")};
    }
    return {};
}

} // namespace

QFont Fonte(Familia familia, int pixels, bool negrito) {
    QFont fonte;
    fonte.setFamilies(Familias(familia));
    fonte.setPixelSize(pixels);
    fonte.setBold(negrito);
    return fonte;
}

} // namespace olvendra::app

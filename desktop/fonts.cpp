#include "desktop/fonts.h"

#include <QStringList>

namespace mokopera {

void InstallFontSubstitutes()
{
    QFont::insertSubstitutions(QString::fromUtf8(layout::kFontFamily),
                               QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPA Pゴシック"),
                                           QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
}

QFont JapaneseFont(int pixelSize, bool bold)
{
    QFont font(QString::fromUtf8(layout::kFontFamily));
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

}  // namespace mokopera

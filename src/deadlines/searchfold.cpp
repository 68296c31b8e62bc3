#include "deadlines/searchfold.h"

#include <array>

namespace velto {

namespace {

QString foldByRules(QStringView text, const QLocale &locale);

// Latin letters up to U+024F, folded once: nearly every character the five
// languages store. The first keystroke after a load folds every row, and
// decomposing each text on its own costs several times more.
constexpr char16_t kTableEnd = 0x250;
const std::array<QString, kTableEnd> &latinFolds()
{
    static const std::array<QString, kTableEnd> table = [] {
        std::array<QString, kTableEnd> t;
        const QLocale english(QLocale::English);
        for (char16_t u = 0; u < kTableEnd; ++u)
            t[u] = foldByRules(QStringView(&u, 1), english);
        return t;
    }();
    return table;
}

// Languages whose case rules differ from the common ones for Latin letters
// (the dotless i) fold by their own rules every time.
bool commonCaseRules(const QLocale &locale)
{
    const QLocale::Language l = locale.language();
    return l != QLocale::Turkish && l != QLocale::Azerbaijani && l != QLocale::Lithuanian;
}

} // namespace

QString searchFold(QStringView text, const QLocale &locale)
{
    bool ascii = true, latin = true;
    for (QChar c : text) {
        ascii = ascii && c.unicode() < 0x80;
        latin = latin && c.unicode() < kTableEnd;
    }
    if (ascii) {
        QString out(text.size(), Qt::Uninitialized);
        QChar *to = out.data();
        for (QChar c : text) {
            const char16_t u = c.unicode();
            *to++ = QChar(u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u);
        }
        return out;
    }
    if (latin && commonCaseRules(locale)) {
        const auto &table = latinFolds();
        QString out;
        out.reserve(text.size() + 2);
        for (QChar c : text)
            out += table[c.unicode()];
        return out;
    }
    return foldByRules(text, locale);
}

namespace {

QString foldByRules(QStringView text, const QLocale &locale)
{
    // Compatibility decomposition splits "é" into "e" and its accent and
    // "ﬁ" into "fi"; the marks are then dropped.
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD);
    QString bare;
    bare.reserve(decomposed.size());
    for (QChar c : decomposed) {
        const QChar::Category k = c.category();
        if (k == QChar::Mark_NonSpacing || k == QChar::Mark_SpacingCombining || k == QChar::Mark_Enclosing)
            continue;
        bare.append(c);
    }
    QString folded = locale.toLower(bare);
    // Letters no decomposition splits, written out as readers type them
    // on a keyboard without them.
    folded.replace(QChar(0x00DF), QLatin1String("ss")); // ß (ẞ lowers to it)
    folded.replace(QChar(0x0153), QLatin1String("oe")); // œ
    folded.replace(QChar(0x00E6), QLatin1String("ae")); // æ
    folded.replace(QChar(0x00F8), QLatin1Char('o'));    // ø
    return folded;
}

} // namespace

} // namespace velto

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

// German umlauts as they are written without them: "Müller" is also
// "Mueller".
QString transcribedUmlauts(QStringView text)
{
    QString out;
    out.reserve(text.size() + 4);
    for (QChar c : text) {
        switch (c.unicode()) {
        case 0x00C4: out += QLatin1String("Ae"); break;
        case 0x00D6: out += QLatin1String("Oe"); break;
        case 0x00DC: out += QLatin1String("Ue"); break;
        case 0x00E4: out += QLatin1String("ae"); break;
        case 0x00F6: out += QLatin1String("oe"); break;
        case 0x00FC: out += QLatin1String("ue"); break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

QString searchFold(QStringView text, const QLocale &locale)
{
    // A text with umlauts is found both ways ("muller" and "mueller" find
    // "Müller"): its second folding follows a mark no typed needle holds.
    const QString folded = searchNeedle(text, locale);
    for (QChar c : text) {
        switch (c.unicode()) {
        case 0x00C4:
        case 0x00D6:
        case 0x00DC:
        case 0x00E4:
        case 0x00F6:
        case 0x00FC: return folded + kFoldAlternative + searchNeedle(transcribedUmlauts(text), locale);
        default: break;
        }
    }
    return folded;
}

QString searchNeedle(QStringView text, const QLocale &locale)
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
    // Where a language's case rules differ from the common ones (the dotted
    // and dotless i of Turkish and Azerbaijani, the kept dot of Lithuanian)
    // folding ends in the same letters after all, every i one i: Latin text
    // folds through the table in every language.
    if (latin) {
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
    // Marks a language adds in lowering (Lithuanian keeps the dot of an
    // accented i) go too, and the dotless i is an i.
    folded.removeIf([](QChar c) { return c.category() == QChar::Mark_NonSpacing; });
    folded.replace(QChar(0x0131), QLatin1Char('i')); // ı (I under Turkish rules)
    // Letters no decomposition splits, written out as readers type them
    // on a keyboard without them.
    folded.replace(QChar(0x00DF), QLatin1String("ss")); // ß (ẞ lowers to it)
    folded.replace(QChar(0x0153), QLatin1String("oe")); // œ
    folded.replace(QChar(0x00E6), QLatin1String("ae")); // æ
    folded.replace(QChar(0x00F8), QLatin1Char('o'));    // ø
    folded.replace(QChar(0x0142), QLatin1Char('l'));    // ł
    folded.replace(QChar(0x0111), QLatin1Char('d'));    // đ
    folded.replace(kFoldAlternative, QLatin1Char(' '));
    return folded;
}

} // namespace

} // namespace velto

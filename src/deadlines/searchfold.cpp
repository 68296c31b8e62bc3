#include "deadlines/searchfold.h"

namespace velto {

QString searchFold(QStringView text, const QLocale &locale)
{
    // Plain ASCII, most of what is stored, needs neither decomposition nor
    // the language's case rules: the first keystroke folds every row.
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
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

} // namespace velto

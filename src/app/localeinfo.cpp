// Locale items answered from the system locale, in the forms the program
// compares them with.
#include "app/localeinfo.h"
#include "app/mainmod.h"

#include <QHash>

namespace velto {

namespace {

struct LcidRow {
    QLocale::Language language;
    QLocale::Territory territory; // AnyTerritory: the language's primary id
    const char *id;
};

// Language ids as four lower-case hex digits, the primary id of each
// language first.
const LcidRow kLcids[] = {
    {QLocale::Italian, QLocale::AnyTerritory, "0410"},
    {QLocale::Italian, QLocale::Italy, "0410"},
    {QLocale::Italian, QLocale::Switzerland, "0810"},
    {QLocale::French, QLocale::AnyTerritory, "040c"},
    {QLocale::French, QLocale::France, "040c"},
    {QLocale::French, QLocale::Belgium, "080c"},
    {QLocale::French, QLocale::Canada, "0c0c"},
    {QLocale::French, QLocale::Switzerland, "100c"},
    {QLocale::French, QLocale::Luxembourg, "140c"},
    {QLocale::French, QLocale::Monaco, "180c"},
    {QLocale::French, QLocale::Reunion, "200c"},
    {QLocale::French, QLocale::CongoKinshasa, "240c"},
    {QLocale::French, QLocale::Senegal, "280c"},
    {QLocale::French, QLocale::Cameroon, "2c0c"},
    {QLocale::French, QLocale::IvoryCoast, "300c"},
    {QLocale::French, QLocale::Mali, "340c"},
    {QLocale::French, QLocale::Morocco, "380c"},
    {QLocale::French, QLocale::Haiti, "3c0c"},
    {QLocale::Spanish, QLocale::AnyTerritory, "0c0a"},
    {QLocale::Spanish, QLocale::Spain, "0c0a"},
    {QLocale::Spanish, QLocale::Mexico, "080a"},
    {QLocale::Spanish, QLocale::Guatemala, "100a"},
    {QLocale::Spanish, QLocale::CostaRica, "140a"},
    {QLocale::Spanish, QLocale::Panama, "180a"},
    {QLocale::Spanish, QLocale::DominicanRepublic, "1c0a"},
    {QLocale::Spanish, QLocale::Venezuela, "200a"},
    {QLocale::Spanish, QLocale::Colombia, "240a"},
    {QLocale::Spanish, QLocale::Peru, "280a"},
    {QLocale::Spanish, QLocale::Argentina, "2c0a"},
    {QLocale::Spanish, QLocale::Ecuador, "300a"},
    {QLocale::Spanish, QLocale::Chile, "340a"},
    {QLocale::Spanish, QLocale::Uruguay, "380a"},
    {QLocale::Spanish, QLocale::Paraguay, "3c0a"},
    {QLocale::Spanish, QLocale::Bolivia, "400a"},
    {QLocale::Spanish, QLocale::ElSalvador, "440a"},
    {QLocale::Spanish, QLocale::Honduras, "480a"},
    {QLocale::Spanish, QLocale::Nicaragua, "4c0a"},
    {QLocale::Spanish, QLocale::PuertoRico, "500a"},
    {QLocale::Spanish, QLocale::UnitedStates, "540a"},
    {QLocale::Spanish, QLocale::LatinAmerica, "580a"},
    {QLocale::German, QLocale::AnyTerritory, "0407"},
    {QLocale::German, QLocale::Germany, "0407"},
    {QLocale::German, QLocale::Switzerland, "0807"},
    {QLocale::German, QLocale::Austria, "0c07"},
    {QLocale::German, QLocale::Luxembourg, "1007"},
    {QLocale::German, QLocale::Liechtenstein, "1407"},
    {QLocale::English, QLocale::AnyTerritory, "0409"},
    {QLocale::English, QLocale::UnitedStates, "0409"},
    {QLocale::English, QLocale::UnitedKingdom, "0809"},
    {QLocale::English, QLocale::Australia, "0c09"},
    {QLocale::English, QLocale::Canada, "1009"},
    {QLocale::English, QLocale::NewZealand, "1409"},
    {QLocale::English, QLocale::Ireland, "1809"},
    {QLocale::English, QLocale::SouthAfrica, "1c09"},
    {QLocale::English, QLocale::India, "4009"},
    {QLocale::Portuguese, QLocale::AnyTerritory, "0416"},
    {QLocale::Portuguese, QLocale::Brazil, "0416"},
    {QLocale::Portuguese, QLocale::Portugal, "0816"},
    {QLocale::Dutch, QLocale::AnyTerritory, "0413"},
    {QLocale::Dutch, QLocale::Belgium, "0813"},
    {QLocale::Danish, QLocale::AnyTerritory, "0406"},
    {QLocale::Swedish, QLocale::AnyTerritory, "041d"},
    {QLocale::NorwegianBokmal, QLocale::AnyTerritory, "0414"},
    {QLocale::Finnish, QLocale::AnyTerritory, "040b"},
    {QLocale::Polish, QLocale::AnyTerritory, "0415"},
    {QLocale::Czech, QLocale::AnyTerritory, "0405"},
    {QLocale::Hungarian, QLocale::AnyTerritory, "040e"},
    {QLocale::Greek, QLocale::AnyTerritory, "0408"},
    {QLocale::Turkish, QLocale::AnyTerritory, "041f"},
    {QLocale::Russian, QLocale::AnyTerritory, "0419"},
    {QLocale::Romanian, QLocale::AnyTerritory, "0418"},
    {QLocale::Catalan, QLocale::AnyTerritory, "0403"},
    {QLocale::Japanese, QLocale::AnyTerritory, "0411"},
    {QLocale::Chinese, QLocale::AnyTerritory, "0804"},
    {QLocale::Korean, QLocale::AnyTerritory, "0412"},
    {QLocale::Arabic, QLocale::AnyTerritory, "0401"},
    {QLocale::Hebrew, QLocale::AnyTerritory, "040d"},
};

} // namespace

QString languageIdOf(const QLocale &locale)
{
    const char *primary = nullptr;
    for (const LcidRow &r : kLcids) {
        if (r.language != locale.language())
            continue;
        if (r.territory == locale.territory())
            return QLatin1String(r.id);
        if (r.territory == QLocale::AnyTerritory && !primary)
            primary = r.id;
    }
    // "C" and languages without an id read as US English, the neutral choice.
    return QLatin1String(primary ? primary : "0409");
}

QString localeItem(const QLocale &locale, int item)
{
    switch (item) {
    case LOCALE_ILANGUAGE: return languageIdOf(locale);
    case LOCALE_SDECIMAL: return locale.decimalPoint();
    case LOCALE_IFIRSTDAYOFWEEK:
        // 0 Monday ... 6 Sunday.
        return QString::number(int(locale.firstDayOfWeek()) - 1);
    default: return QString();
    }
}

QString fourDigitYearFormat(const QLocale &locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QString result;
    result.reserve(format.size() + 2);
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'')
            quoted = !quoted;
        if (quoted || c != u'y') {
            result += c;
            continue;
        }
        while (i + 1 < format.size() && format.at(i + 1) == u'y')
            ++i;
        result += QLatin1String("yyyy");
    }
    return result;
}

QString GetLocaleString(int localeId, int item)
{
    Q_UNUSED(localeId) // always the user's default locale
    return localeItem(QLocale::system(), item);
}

} // namespace velto

#include "ui/widgets/gridmodel.h"

#include "data/currency.h"
#include "deadlines/namecollation.h"
#include "ui/widgets/gridvalues.h"

#include <QDate>

#include <algorithm>
#include <functional>
#include <limits>
#include <numeric>

namespace velto {

namespace {

const GridColumn &noColumn()
{
    static const GridColumn none;
    return none;
}

} // namespace

GridModel::GridModel(QObject *parent) : QAbstractItemModel(parent)
{
    m_rowStyles[int(GridRowStyle::RowGroup)].bold = true;
}

GridModel::~GridModel() = default;

void GridModel::setSource(std::unique_ptr<GridSource> source)
{
    resetWith([&] {
        m_source = std::move(source);
        QList<GridColumn> columns;
        const int fields = m_source ? m_source->columnCount() : 0;
        for (int f = 0; f < fields; ++f) {
            const QString name = m_source->columnName(f);
            // A reload of the same statement finds its columns by name, so
            // captions, widths and formats set once survive every reload.
            GridColumn def;
            bool reused = false;
            if (f < m_columns.size() && m_columns.at(f).field >= 0
                && m_columns.at(f).name.compare(name, Qt::CaseInsensitive) == 0) {
                def = m_columns.at(f);
                reused = true;
            }
            for (int c = 0; !reused && c < m_columns.size(); ++c) {
                if (m_columns.at(c).field >= 0 && m_columns.at(c).name.compare(name, Qt::CaseInsensitive) == 0) {
                    def = m_columns.at(c);
                    reused = true;
                }
            }
            if (!reused) {
                def.name = name;
                def.caption = name;
            }
            def.field = f;
            columns.append(def);
        }
        m_columns = columns;
    });
}

const GridColumn &GridModel::gridColumn(int column) const
{
    if (column < 1 || column > m_columns.size())
        return noColumn();
    return m_columns.at(column - 1);
}

void GridModel::setGridColumn(int column, const GridColumn &def)
{
    if (column < 1 || column > m_columns.size())
        return;
    GridColumn &c = m_columns[column - 1];
    const int field = c.field;
    c = def;
    c.field = field; // where the values come from is the source's business
    dropCaches();
    emit headerDataChanged(Qt::Horizontal, column - 1, column - 1);
    if (!m_flat.empty())
        emit dataChanged(index(0, column - 1), index(rowCount() - 1, column - 1));
}

int GridModel::columnOfField(const QString &name) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns.at(c).name.compare(name, Qt::CaseInsensitive) == 0)
            return c + 1;
    }
    return 0;
}

void GridModel::clearGroups()
{
    if (m_groupKeys.isEmpty())
        return;
    resetWith([&] { m_groupKeys.clear(); });
}

void GridModel::addGroup(int column, Qt::SortOrder order)
{
    if (column < 1 || column > m_columns.size())
        return;
    resetWith([&] { m_groupKeys.append({column, order}); });
}

void GridModel::setGroups(const QList<int> &columns)
{
    QList<GridSortKey> keys;
    for (int column : columns) {
        if (column >= 1 && column <= m_columns.size())
            keys.append({column, Qt::AscendingOrder});
    }
    resetWith([&] { m_groupKeys = keys; });
}

void GridModel::setSortKeys(const QList<GridSortKey> &keys)
{
    QList<GridSortKey> valid;
    for (const GridSortKey &k : keys) {
        if (k.column >= 1 && k.column <= m_columns.size())
            valid.append(k);
    }
    m_sortKeys = valid;
    relayout();
}

void GridModel::addFormatCondition(int column, const QVariant &value, const GridStyle &style)
{
    m_conditions.append({column, value, style});
    refresh();
}

void GridModel::clearFormatConditions()
{
    m_conditions.clear();
    refresh();
}

void GridModel::setRowStyle(GridRowStyle kind, const GridStyle &style)
{
    m_rowStyles[int(kind)] = style;
    refresh();
}

void GridModel::setImageList(const QList<QIcon> &images)
{
    m_images = images;
    refresh();
}

void GridModel::setBaseFont(const QFont &font)
{
    if (font == m_baseFont)
        return;
    m_baseFont = font;
    refresh();
}

void GridModel::refresh()
{
    // Group keys and the order were taken when the rows were built; what
    // is forgotten here is only the captions made from them.
    dropCaches();
    if (!m_flat.empty() && !m_columns.isEmpty()) {
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        for (int g = 0; g < m_groups.size(); ++g) {
            const QModelIndex first = groupIndex(g, 0);
            if (childCount(g) > 0)
                emit dataChanged(index(0, 0, first), index(childCount(g) - 1, columnCount() - 1, first));
        }
    }
}

void GridModel::dropCaches()
{
    for (const Group &g : std::as_const(m_groups))
        g.formatted = false;
}

void GridModel::resetWith(const std::function<void()> &change)
{
    beginResetModel();
    change();
    build();
    endResetModel();
}

void GridModel::relayout()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<Node> nodes;
    nodes.reserve(before.size());
    for (const QModelIndex &i : before)
        nodes.push_back(resolve(i));
    build();
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        // The groups come out of the same keys in the same order, so a
        // group keeps its number; a record is found by its source row.
        const Node &n = nodes[i];
        if (n.group >= 0 && n.group < m_groups.size())
            after.append(groupIndex(n.group, before[i].column()));
        else if (n.record >= 0)
            after.append(recordIndex(n.record, before[i].column()));
        else
            after.append(QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

namespace {

// Whole numbers whose order and equality are those of compareGridValues
// over the values. Columns of one plain type map directly; text is ranked
// over its distinct values; anything else is ranked by a full sort.
std::vector<qint64> rankValues(const std::vector<QVariant> &values)
{
    const std::size_t n = values.size();
    std::vector<qint64> ranks(n);
    constexpr qint64 kNullRank = std::numeric_limits<qint64>::min();
    enum Class { None, Integers, Money, Dates, Texts, Mixed };
    const QMetaType money = QMetaType::fromType<Currency>();
    auto classOf = [&money](const QVariant &v) {
        switch (v.metaType().id()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong: return Integers;
        case QMetaType::QDate: return Dates;
        case QMetaType::QString: return Texts;
        default: return v.metaType() == money ? Money : Mixed;
        }
    };
    auto isNullValue = [](const QVariant &v) { return !v.isValid() || v.isNull(); };
    Class common = None;
    for (const QVariant &v : values) {
        if (isNullValue(v))
            continue;
        const Class c = classOf(v);
        if (common == None)
            common = c;
        else if (common != c)
            common = Mixed;
        if (common == Mixed)
            break;
    }
    switch (common) {
    case None: std::fill(ranks.begin(), ranks.end(), kNullRank); return ranks;
    case Integers:
    case Money:
    case Dates:
        for (std::size_t r = 0; r < n; ++r) {
            const QVariant &v = values[r];
            if (isNullValue(v))
                ranks[r] = kNullRank;
            else if (common == Integers)
                ranks[r] = v.toLongLong();
            else if (common == Money)
                ranks[r] = v.value<Currency>().units();
            else
                ranks[r] = v.toDate().toJulianDay();
            if (ranks[r] == kNullRank)
                ranks[r] = kNullRank + 1; // only nulls rank lowest
        }
        return ranks;
    case Texts: {
        QHash<QString, int> ids;
        QList<QString> distinct;
        std::vector<int> idOf(n, -1);
        for (std::size_t r = 0; r < n; ++r) {
            if (isNullValue(values[r]))
                continue;
            const QString text = values[r].toString();
            auto it = ids.constFind(text);
            if (it == ids.constEnd()) {
                it = ids.insert(text, int(distinct.size()));
                distinct.append(text);
            }
            idOf[r] = *it;
        }
        // Ordered as compareGridValues orders text, through sort keys of
        // the language's collation taken once per distinct text.
        const QCollator collator = nameCollator();
        std::vector<QCollatorSortKey> keys;
        keys.reserve(std::size_t(distinct.size()));
        for (const QString &text : std::as_const(distinct))
            keys.push_back(collator.sortKey(text));
        std::vector<int> byText(distinct.size());
        std::iota(byText.begin(), byText.end(), 0);
        std::sort(byText.begin(), byText.end(), [&](int a, int b) {
            const int c = keys[std::size_t(a)].compare(keys[std::size_t(b)]);
            return c != 0 ? c < 0 : distinct[a] < distinct[b];
        });
        std::vector<qint64> rankOfId(distinct.size());
        for (std::size_t i = 0; i < byText.size(); ++i)
            rankOfId[std::size_t(byText[i])] = qint64(i);
        for (std::size_t r = 0; r < n; ++r)
            ranks[r] = idOf[r] < 0 ? kNullRank : rankOfId[std::size_t(idOf[r])];
        return ranks;
    }
    case Mixed: break;
    }
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return compareGridValues(values[a], values[b]) < 0; });
    qint64 rank = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && compareGridValues(values[order[i]], values[order[i - 1]]) != 0)
            ++rank;
        ranks[std::size_t(order[i])] = rank;
    }
    return ranks;
}

} // namespace

void GridModel::build()
{
    dropCaches();
    const int n = m_source ? m_source->rowCount() : 0;

    // One whole number per row and key, in the values' order: the sort
    // and the group breaks then compare numbers, not variants (100,000
    // rows make millions of comparisons). A source that ranks a column
    // itself is asked for no value at all.
    struct Key {
        std::vector<qint64> ranks;
        Qt::SortOrder order;
        int field;
    };
    std::vector<Key> keys;
    auto takeColumn = [&](const GridSortKey &k) {
        Key key;
        key.order = k.order;
        key.field = gridColumn(k.column).field;
        if (!m_source->rank(key.field, &key.ranks) || int(key.ranks.size()) != n) {
            std::vector<QVariant> values(static_cast<std::size_t>(n));
            for (int r = 0; r < n; ++r)
                values[std::size_t(r)] = m_source->value(r, key.field);
            key.ranks = rankValues(values);
        }
        keys.push_back(std::move(key));
    };
    if (n > 0) {
        for (const GridSortKey &k : std::as_const(m_groupKeys))
            takeColumn(k);
        for (const GridSortKey &k : std::as_const(m_sortKeys))
            takeColumn(k);
    }

    m_order.resize(n);
    std::iota(m_order.begin(), m_order.end(), 0);
    if (!keys.empty()) {
        auto before = [&](int a, int b) {
            for (const Key &k : keys) {
                const qint64 x = k.ranks[std::size_t(a)], y = k.ranks[std::size_t(b)];
                if (x != y)
                    return k.order == Qt::AscendingOrder ? x < y : x > y;
            }
            return a < b; // equal keys keep the source's order
        };
        // Rows that come in the order asked for (by date, as the deadlines
        // are read) are only checked.
        if (!std::is_sorted(m_order.begin(), m_order.end(), before))
            std::sort(m_order.begin(), m_order.end(), before);
    }
    m_orderPos.resize(n);
    for (int p = 0; p < n; ++p)
        m_orderPos[m_order[p]] = p;

    m_groups.clear();
    m_topGroups.clear();
    m_builtLevels = int(m_groupKeys.size());
    m_leafGroup.assign(n, -1);
    if (m_builtLevels > 0 && n > 0) {
        std::vector<int> open(m_builtLevels, -1);
        for (int p = 0; p < n; ++p) {
            const int src = m_order[p];
            int firstNew = 0;
            if (p > 0) {
                const int prev = m_order[p - 1];
                firstNew = m_builtLevels;
                for (int l = 0; l < m_builtLevels; ++l) {
                    if (keys[l].ranks[std::size_t(src)] != keys[l].ranks[std::size_t(prev)]) {
                        firstNew = l;
                        break;
                    }
                }
            }
            for (int l = firstNew; l < m_builtLevels; ++l) {
                Group g;
                g.parent = l == 0 ? -1 : open[l - 1];
                g.level = l;
                g.firstOrder = p;
                g.key = m_source->value(src, keys[l].field);
                const int id = int(m_groups.size());
                QList<int> &siblings = g.parent < 0 ? m_topGroups : m_groups[g.parent].children;
                g.rowInParent = int(siblings.size());
                siblings.append(id);
                m_groups.append(std::move(g));
                open[l] = id;
            }
            for (int l = 0; l < m_builtLevels; ++l)
                ++m_groups[open[l]].count;
            m_leafGroup[src] = open[m_builtLevels - 1];
        }
    }

    m_flat.clear();
    m_flat.reserve(n + m_groups.size());
    m_flatOfRecord.assign(n, -1);
    m_flatOfGroup.assign(m_groups.size(), -1);
    std::function<void(int)> emitGroup = [&](int g) {
        m_flatOfGroup[g] = int(m_flat.size());
        m_flat.push_back(-(g + 1));
        const Group &grp = m_groups.at(g);
        if (grp.level < m_builtLevels - 1) {
            for (int c : grp.children)
                emitGroup(c);
            return;
        }
        for (int p = grp.firstOrder; p < grp.firstOrder + grp.count; ++p) {
            m_flatOfRecord[m_order[p]] = int(m_flat.size());
            m_flat.push_back(m_order[p]);
        }
    };
    if (m_builtLevels > 0) {
        for (int g : std::as_const(m_topGroups))
            emitGroup(g);
    } else {
        for (int p = 0; p < n; ++p) {
            m_flatOfRecord[m_order[p]] = p;
            m_flat.push_back(m_order[p]);
        }
    }
}

GridRow GridModel::row(int position) const
{
    if (position < 1 || position > rowTotal())
        return {};
    const int entry = m_flat[position - 1];
    GridRow r;
    r.m_model = this;
    r.m_position = position;
    if (entry >= 0) {
        r.m_record = entry;
        return r;
    }
    r.m_group = -entry - 1;
    r.m_caption = groupCaption(r.m_group);
    return r;
}

QModelIndex GridModel::indexAt(int position, int column) const
{
    if (position < 1 || position > rowTotal() || column < 1 || column > m_columns.size())
        return {};
    const int entry = m_flat[position - 1];
    return entry >= 0 ? recordIndex(entry, column - 1) : groupIndex(-entry - 1, column - 1);
}

int GridModel::positionOf(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return 0;
    const Node n = resolve(index);
    if (n.group >= 0)
        return m_flatOfGroup[n.group] + 1;
    return n.record >= 0 ? m_flatOfRecord[n.record] + 1 : 0;
}

int GridModel::positionOfRecord(int bookmark) const
{
    if (bookmark < 0 || bookmark >= int(m_flatOfRecord.size()))
        return 0;
    return m_flatOfRecord[bookmark] + 1;
}

int GridModel::recordOrdinal(int position) const
{
    if (position < 1 || position > rowTotal())
        return 0;
    const int entry = m_flat[position - 1];
    return entry >= 0 ? m_orderPos[entry] + 1 : 0;
}

int GridModel::find(int column, const QVariant &value) const
{
    if (column < 1 || column > m_columns.size())
        return 0;
    for (int src : m_order) {
        if (compareGridValues(cellValue(src, column), value) == 0)
            return m_flatOfRecord[src] + 1;
    }
    return 0;
}

QVariant GridModel::cellValue(int bookmark, int column) const
{
    if (!m_source || bookmark < 0 || bookmark >= m_source->rowCount() || column < 1 || column > m_columns.size())
        return {};
    const int field = m_columns.at(column - 1).field;
    return field >= 0 ? m_source->value(bookmark, field) : QVariant();
}

QString GridModel::recordText(int bookmark, int column) const
{
    const GridColumn &def = gridColumn(column);
    if (def.textHidden)
        return QString();
    const QString text = formatGridValue(cellValue(bookmark, column), def.format);
    return text.isEmpty() ? def.emptyText : text;
}

QString GridModel::accessibleRole(int bookmark, int column, int role) const
{
    const GridColumn &def = gridColumn(column);
    if (bookmark < 0) {
        if (role == Qt::AccessibleDescriptionRole)
            return QString();
        return def.caption.isEmpty() ? def.spokenCaption : def.caption;
    }
    // An empty cell reads as empty: never as its column's name.
    const GridSource::Spoken spoken = m_source->spoken(bookmark, def.field, recordText(bookmark, column));
    return role == Qt::AccessibleDescriptionRole ? spoken.description : spoken.text;
}

int GridModel::firstShownColumn() const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns.at(c).visible)
            return c + 1;
    }
    return 1;
}

QString GridModel::cellText(int position, int column) const
{
    if (position < 1 || position > rowTotal())
        return {};
    const int entry = m_flat[position - 1];
    return entry >= 0 ? recordText(entry, column) : groupCaption(-entry - 1);
}

int GridModel::positionOfGroup(int group) const
{
    return group >= 0 && group < m_groups.size() ? m_flatOfGroup[group] + 1 : 0;
}

QString GridModel::groupPath(int group) const
{
    QStringList keys;
    for (int g = group; g >= 0 && g < m_groups.size(); g = m_groups.at(g).parent) {
        const Group &node = m_groups.at(g);
        const QVariant &key = node.key;
        keys.prepend(QString::number(m_groupKeys.value(node.level).column) + QLatin1Char(':')
                     + QString::number(key.userType()) + QLatin1Char(':') + key.toString());
    }
    return keys.join(QChar(u'\x1f'));
}

int GridModel::groupLevelOf(int group) const
{
    return group >= 0 && group < m_groups.size() ? m_groups.at(group).level : 0;
}

QVariant GridModel::groupValueOf(int group) const
{
    return group >= 0 && group < m_groups.size() ? m_groups.at(group).key : QVariant();
}

QVariant GridModel::aggregate(int group, int column, GridAggregate function) const
{
    if (group < 0 || group >= m_groups.size() || column < 1 || column > m_columns.size())
        return {};
    const Group &g = m_groups.at(group);
    const int first = g.firstOrder, last = g.firstOrder + g.count;
    switch (function) {
    case GridAggregate::Count: return qint64(g.count);
    case GridAggregate::Min:
    case GridAggregate::Max: {
        QVariant best;
        for (int p = first; p < last; ++p) {
            const QVariant v = cellValue(m_order[p], column);
            if (isEmptyGridValue(v))
                continue;
            const int c = best.isValid() ? compareGridValues(v, best) : -1;
            if (!best.isValid() || (function == GridAggregate::Min ? c < 0 : c > 0))
                best = v;
        }
        return best;
    }
    case GridAggregate::Sum: break;
    }
    // Money adds in ten-thousandths, so a column of 0.1 and 0.2 totals
    // exactly 0.3; integers mixed in count as whole amounts.
    const QMetaType currency = QMetaType::fromType<Currency>();
    bool asCurrency = gridColumn(column).format.compare(u"currency", Qt::CaseInsensitive) == 0;
    bool anyDouble = false;
    std::int64_t units = 0;
    qint64 whole = 0;
    double real = 0;
    for (int p = first; p < last; ++p) {
        const QVariant v = cellValue(m_order[p], column);
        if (isEmptyGridValue(v))
            continue;
        if (v.metaType() == currency) {
            asCurrency = true;
            units += v.value<Currency>().units();
            real += v.value<Currency>().toDouble();
            continue;
        }
        const int id = v.metaType().id();
        if (id == QMetaType::Double || id == QMetaType::Float) {
            anyDouble = true;
            units += Currency::fromDouble(v.toDouble()).units();
            real += v.toDouble();
            continue;
        }
        bool ok = false;
        const qint64 i = v.toLongLong(&ok);
        if (!ok)
            continue;
        whole += i;
        units += i * Currency::kScale;
        real += double(i);
    }
    if (asCurrency)
        return QVariant::fromValue(Currency::fromUnits(units));
    if (anyDouble)
        return real;
    return whole;
}

bool GridModel::childrenAreGroups(int node) const
{
    if (node < 0)
        return m_builtLevels > 0;
    return m_groups.at(node).level < m_builtLevels - 1;
}

int GridModel::childCount(int node) const
{
    if (node < 0)
        return m_builtLevels > 0 ? int(m_topGroups.size()) : int(m_order.size());
    const Group &g = m_groups.at(node);
    return childrenAreGroups(node) ? int(g.children.size()) : g.count;
}

GridModel::Node GridModel::resolve(const QModelIndex &index) const
{
    Node n;
    if (!index.isValid())
        return n;
    const int p = int(index.internalId()) - 1;
    if (p >= int(m_groups.size()) || index.row() >= childCount(p))
        return n;
    if (childrenAreGroups(p))
        n.group = (p < 0 ? m_topGroups : m_groups.at(p).children).at(index.row());
    else
        n.record = m_order[(p < 0 ? 0 : m_groups.at(p).firstOrder) + index.row()];
    return n;
}

QModelIndex GridModel::groupIndex(int group, int modelColumn) const
{
    const Group &g = m_groups.at(group);
    return createIndex(g.rowInParent, modelColumn, quintptr(g.parent + 1));
}

QModelIndex GridModel::recordIndex(int bookmark, int modelColumn) const
{
    if (bookmark < 0 || bookmark >= int(m_orderPos.size()))
        return {};
    const int leaf = m_leafGroup[bookmark];
    const int row = m_orderPos[bookmark] - (leaf < 0 ? 0 : m_groups.at(leaf).firstOrder);
    return createIndex(row, modelColumn, quintptr(leaf + 1));
}

QString GridModel::groupCaption(int group) const
{
    const Group &g = m_groups.at(group);
    if (g.formatted)
        return g.caption;
    const GridColumn &def = gridColumn(m_groupKeys.value(g.level).column);
    QString value = formatGridValue(g.key, def.format);
    if (value.isEmpty())
        value = def.emptyText;
    GridRow r;
    r.m_model = this;
    r.m_group = group;
    r.m_position = m_flatOfGroup[group] + 1;
    r.m_caption = def.caption + QStringLiteral(": ") + value;
    g.caption = m_source->groupCaption(r);
    g.formatted = true;
    return g.caption;
}

std::optional<GridStyle> GridModel::conditionStyle(int bookmark) const
{
    std::optional<GridStyle> style;
    for (const Condition &c : m_conditions) {
        if (compareGridValues(cellValue(bookmark, c.column), c.value) == 0)
            style = c.style; // the last matching condition wins
    }
    return style;
}

QFont GridModel::styledFont(const GridStyle &style) const
{
    QFont f = m_baseFont;
    f.setBold(style.bold);
    f.setItalic(style.italic);
    f.setStrikeOut(style.strikeOut);
    f.setUnderline(style.underline);
    return f;
}

QModelIndex GridModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= columnCount())
        return {};
    int node = -1;
    if (parent.isValid()) {
        if (parent.column() != 0)
            return {};
        const Node p = resolve(parent);
        if (p.group < 0)
            return {};
        node = p.group;
    }
    if (row >= childCount(node))
        return {};
    return createIndex(row, column, quintptr(node + 1));
}

QModelIndex GridModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    const int p = int(child.internalId()) - 1;
    if (p < 0 || p >= m_groups.size())
        return {};
    return groupIndex(p, 0);
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return childCount(-1);
    if (parent.column() != 0)
        return 0;
    const Node p = resolve(parent);
    return p.group >= 0 ? childCount(p.group) : 0;
}

int GridModel::columnCount(const QModelIndex &) const
{
    return int(m_columns.size());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    const Node n = resolve(index);
    const int column = index.column() + 1;
    if (n.group >= 0) {
        const GridStyle &style = m_rowStyles[int(GridRowStyle::RowGroup)];
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole: return groupCaption(n.group);
        case Qt::AccessibleTextRole:
            // The caption is drawn once across the row, so it is read once.
            return column == firstShownColumn() ? groupCaption(n.group) : QString();
        case Qt::FontRole: return styledFont(style);
        case Qt::ForegroundRole: return style.foreColor.isValid() ? QVariant(style.foreColor) : QVariant();
        case Qt::BackgroundRole: return style.backColor.isValid() ? QVariant(style.backColor) : QVariant();
        case ValueRole:
            return column == m_groupKeys.value(m_groups.at(n.group).level).column ? m_groups.at(n.group).key
                                                                                  : QVariant();
        case BookmarkRole: return -1;
        case GroupRowRole: return true;
        case PositionRole: return m_flatOfGroup[n.group] + 1;
        default: return {};
        }
    }
    if (n.record < 0)
        return {};
    const GridColumn &def = m_columns.at(index.column());
    switch (role) {
    case Qt::DisplayRole: return recordText(n.record, column);
    case Qt::AccessibleTextRole:
    case Qt::AccessibleDescriptionRole: return accessibleRole(n.record, column, role);
    case Qt::DecorationRole: {
        if (!def.hasIcon)
            return {};
        const int image = m_source->image(n.record, def.field);
        return image >= 1 && image <= m_images.size() ? QVariant(m_images.at(image - 1)) : QVariant();
    }
    case Qt::FontRole: {
        const auto style = conditionStyle(n.record);
        return style ? QVariant(styledFont(*style)) : QVariant();
    }
    case Qt::ForegroundRole: {
        const auto style = conditionStyle(n.record);
        return style && style->foreColor.isValid() ? QVariant(style->foreColor) : QVariant();
    }
    case Qt::TextAlignmentRole: return QVariant::fromValue(def.alignment);
    case ValueRole: return cellValue(n.record, column);
    case BookmarkRole: return n.record;
    case GroupRowRole: return false;
    case PositionRole: return m_flatOfRecord[n.record] + 1;
    default: return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractItemModel::headerData(section, orientation, role);
    const GridColumn &def = m_columns.at(section);
    switch (role) {
    case Qt::DisplayRole: return def.caption;
    case Qt::AccessibleTextRole:
    case Qt::AccessibleDescriptionRole: return accessibleRole(-1, section + 1, role);
    case Qt::TextAlignmentRole: return QVariant::fromValue(def.alignment);
    default: return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (resolve(index).record >= 0)
        f |= Qt::ItemNeverHasChildren;
    return f;
}

} // namespace velto

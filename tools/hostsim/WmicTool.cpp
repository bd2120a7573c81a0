// WMIC's "diskdrive" alias on the simulated host. WMIC writes through a
// redirection in UTF-16 little-endian with a byte-order mark, pads every
// column to its widest value plus two blanks, orders the columns by name,
// ends every line with CR CR LF and closes the table with an empty line.
#include "tools/hostsim/Tools.h"

#include "platform/sim/SimHost.h"
#include "tools/hostsim/HostDisks.h"

#include <QRegularExpression>

#include <algorithm>

namespace hostsim {

namespace {

// Exit code of WMIC for a query it cannot run.
constexpr int kWmicQueryError = 44135;

const char *const kProperties[] = {"Caption",       "DeviceID",   "Index",
                                   "InterfaceType", "MediaType",  "Model",
                                   "Name",          "Partitions", "Size"};

QString canonicalProperty(const QString &name) {
    for (const char *p : kProperties) {
        if (name.compare(QLatin1String(p), Qt::CaseInsensitive) == 0)
            return QLatin1String(p);
    }
    return QString();
}

QString propertyValue(const HostDisk &disk, const QString &property) {
    if (property == QLatin1String("Index"))
        return QString::number(disk.number);
    if (property == QLatin1String("Model") || property == QLatin1String("Caption"))
        return disk.model;
    if (property == QLatin1String("DeviceID") || property == QLatin1String("Name"))
        return QStringLiteral("\\\\.\\PHYSICALDRIVE%1").arg(disk.number);
    if (property == QLatin1String("MediaType"))
        return disk.mediaType;
    if (property == QLatin1String("Size"))
        return QString::number(disk.size);
    if (property == QLatin1String("Partitions"))
        return QString::number(disk.partitions);
    if (property == QLatin1String("InterfaceType"))
        return disk.mediaType == QLatin1String("Fixed hard disk media") ? QStringLiteral("SCSI")
                                                                        : QStringLiteral("USB");
    return QString();
}

// One comparison of a WQL condition.
struct Condition {
    QString property;
    QString op;
    QString value;
};

// Parses "Name='value' AND Other=3" (AND only). Returns false on anything
// else.
bool parseWhere(const QString &clause, QList<Condition> *conditions) {
    const QStringList parts = clause.split(QRegularExpression(
        QStringLiteral("\\s+and\\s+"), QRegularExpression::CaseInsensitiveOption));
    static const QRegularExpression comparison(
        QStringLiteral(
            "^\\s*(\\w+)\\s*(=|<>|!=|\\s+like\\s+)\\s*('([^']*)'|\"([^\"]*)\"|(\\d+))\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QString &part : parts) {
        const QRegularExpressionMatch m = comparison.match(part);
        if (!m.hasMatch())
            return false;
        Condition c;
        c.property = canonicalProperty(m.captured(1));
        if (c.property.isEmpty())
            return false;
        c.op = m.captured(2).trimmed().toLower();
        c.value = !m.captured(4).isNull()   ? m.captured(4)
                  : !m.captured(5).isNull() ? m.captured(5)
                                            : m.captured(6);
        conditions->append(c);
    }
    return !conditions->isEmpty();
}

bool matches(const HostDisk &disk, const QList<Condition> &conditions) {
    for (const Condition &c : conditions) {
        const QString actual = propertyValue(disk, c.property);
        bool equal = false;
        if (c.op == QLatin1String("like")) {
            QString pattern = QRegularExpression::escape(c.value);
            pattern.replace(QStringLiteral("%"), QStringLiteral(".*"));
            pattern.replace(QStringLiteral("_"), QStringLiteral("."));
            equal = QRegularExpression(QStringLiteral("^") + pattern + QStringLiteral("$"),
                                       QRegularExpression::CaseInsensitiveOption)
                        .match(actual)
                        .hasMatch();
        } else {
            equal = actual.compare(c.value, Qt::CaseInsensitive) == 0;
        }
        if (equal != (c.op == QLatin1String("=") || c.op == QLatin1String("like")))
            return false;
    }
    return true;
}

int queryError(ToolContext &ctx) {
    const QString node = simhost::hostSetting(ctx.root, QStringLiteral("system/computerName"),
                                              QStringLiteral("WINHOST"))
                             .toString();
    ctx.err->write(QStringLiteral("Node - %1\r\nERROR:\r\nDescription = Invalid query\r\n\r\n")
                       .arg(node)
                       .toLocal8Bit());
    return kWmicQueryError;
}

} // namespace

QByteArray wmicTable(const QStringList &properties, const QList<QStringList> &rows, bool utf16) {
    QList<int> widths;
    for (int c = 0; c < properties.size(); ++c) {
        int width = properties.at(c).size();
        for (const QStringList &row : rows)
            width = qMax(width, row.value(c).size());
        widths.append(width + 2);
    }
    auto line = [&widths](const QStringList &cells) {
        QString text;
        for (int c = 0; c < widths.size(); ++c)
            text += cells.value(c).leftJustified(widths.at(c), QLatin1Char(' '));
        return text + QStringLiteral("\r\r\n");
    };
    QString text = line(properties);
    for (const QStringList &row : rows)
        text += line(row);
    text += QStringLiteral("\r\r\n");
    if (!utf16)
        return text.toLatin1();
    QByteArray bytes("\xff\xfe", 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xff));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

int runWmic(ToolContext &ctx) {
    const QStringList &args = ctx.arguments;
    if (args.isEmpty() ||
        args.first().compare(QLatin1String("diskdrive"), Qt::CaseInsensitive) != 0) {
        ctx.err->write(
            QStringLiteral("%1 - Alias not found.\r\n").arg(args.value(0)).toLocal8Bit());
        return kWmicQueryError;
    }
    int i = 1;
    QList<Condition> conditions;
    if (i < args.size() && args.at(i).compare(QLatin1String("where"), Qt::CaseInsensitive) == 0) {
        if (i + 1 >= args.size() || !parseWhere(args.at(i + 1), &conditions))
            return queryError(ctx);
        i += 2;
    }
    if (i >= args.size() || args.at(i).compare(QLatin1String("get"), Qt::CaseInsensitive) != 0)
        return queryError(ctx);
    QStringList properties;
    for (const QString &part : args.mid(i + 1).join(QString()).split(QLatin1Char(','))) {
        if (part.trimmed().isEmpty())
            continue;
        const QString property = canonicalProperty(part.trimmed());
        if (property.isEmpty())
            return queryError(ctx);
        if (!properties.contains(property))
            properties.append(property);
    }
    if (properties.isEmpty())
        return queryError(ctx);
    std::sort(properties.begin(), properties.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });

    applyDueListingFaults(ctx.root);
    QList<HostDisk> listed;
    for (const HostDisk &disk : loadDisks(ctx.root)) {
        if (!disk.removed && matches(disk, conditions))
            listed.append(disk);
    }
    noteListed(ctx.root, listed);
    if (listed.isEmpty()) {
        ctx.err->write("No Instance(s) Available.\r\n");
        return 0;
    }
    QList<QStringList> rows;
    for (const HostDisk &disk : listed) {
        QStringList row;
        for (const QString &property : properties)
            row.append(propertyValue(disk, property));
        rows.append(row);
    }
    ctx.out->write(wmicTable(properties, rows, ctx.outIsFile));
    return 0;
}

} // namespace hostsim

// WMIC on the simulated host, for the queries the tool makes: the
// "diskdrive" alias with "where Property=value" and "get" of Index,
// MediaType, Model, PNPDeviceID, SerialNumber, Signature, Size, and the
// class Win32_LogicalDiskToPartition ("path ... get Antecedent,Dependent").
// WMIC writes through a redirection in UTF-16 little-endian with a byte-order
// mark, pads every column to its widest value plus two blanks, orders the
// columns by name, ends every line with CR CR LF and closes the table with
// an empty line.
#include "sim/standins/Tools.h"

#include "sim/standins/HostDisks.h"

#include <QRegularExpression>

#include <algorithm>

namespace hostsim {

namespace {

// Exit code of WMIC for a query it cannot run.
constexpr int kWmicQueryError = 44135;

const char *const kProperties[] = {"Index",        "MediaType", "Model", "PNPDeviceID",
                                   "SerialNumber", "Signature", "Size"};
const char *const kLinkProperties[] = {"Antecedent", "Dependent"};

template <std::size_t N>
QString canonicalProperty(const QString &name, const char *const (&known)[N]) {
    for (const char *p : known) {
        if (name.compare(QLatin1String(p), Qt::CaseInsensitive) == 0)
            return QLatin1String(p);
    }
    return QString();
}

QString propertyValue(const HostDisk &disk, const QString &property) {
    if (property == QLatin1String("Index"))
        return QString::number(disk.number);
    if (property == QLatin1String("Model"))
        return disk.model;
    if (property == QLatin1String("MediaType"))
        return disk.mediaType;
    if (property == QLatin1String("PNPDeviceID"))
        return disk.deviceId;
    if (property == QLatin1String("SerialNumber"))
        return disk.serial;
    if (property == QLatin1String("Signature"))
        return disk.signature;
    return QString::number(disk.size);
}

// The properties of a "get" list in WMIC's order (by name); empty when one
// is unknown.
template <std::size_t N>
QStringList getList(const QStringList &arguments, const char *const (&known)[N]) {
    QStringList properties;
    for (const QString &part : arguments.join(QString()).split(QLatin1Char(','))) {
        const QString property = canonicalProperty(part.trimmed(), known);
        if (property.isEmpty())
            return {};
        if (!properties.contains(property))
            properties.append(property);
    }
    std::sort(properties.begin(), properties.end());
    return properties;
}

QByteArray wmicTable(const QStringList &properties, const QList<QStringList> &rows, bool utf16) {
    QList<int> widths;
    for (int c = 0; c < properties.size(); ++c) {
        int width = properties.at(c).size();
        for (const QStringList &row : rows)
            width = qMax(width, row.at(c).size());
        widths.append(width + 2);
    }
    QString text;
    for (const QStringList &cells : QList<QStringList>{properties} + rows) {
        for (int c = 0; c < widths.size(); ++c)
            text += cells.at(c).leftJustified(widths.at(c), QLatin1Char(' '));
        text += QStringLiteral("\r\r\n");
    }
    text += QStringLiteral("\r\r\n");
    if (!utf16)
        return text.toLatin1();
    QByteArray bytes("\xff\xfe", 2);
    for (const QChar c : text)
        bytes.append(static_cast<char>(c.unicode() & 0xff))
            .append(static_cast<char>(c.unicode() >> 8));
    return bytes;
}

int queryError(ToolContext &ctx) {
    ctx.err->write("Node - WINHOST\r\nERROR:\r\nDescription = Invalid query\r\n\r\n");
    return kWmicQueryError;
}

// Which volume lives on which partition: one row per drive letter.
int runLogicalDiskToPartition(ToolContext &ctx) {
    const QStringList &args = ctx.arguments;
    const QStringList properties = getList(args.mid(3), kLinkProperties);
    if (args.value(2).compare(QLatin1String("get"), Qt::CaseInsensitive) != 0 ||
        properties.isEmpty())
        return queryError(ctx);
    QList<QStringList> rows;
    for (const HostDisk &disk : loadDisks(ctx.root)) {
        for (const QString &letter : volumeLetters(ctx.root, disk)) {
            const QString partition =
                QStringLiteral("\\\\WINHOST\\root\\cimv2:Win32_DiskPartition.DeviceID=\"Disk "
                               "#%1, Partition #0\"")
                    .arg(disk.number);
            const QString volume =
                QStringLiteral("\\\\WINHOST\\root\\cimv2:Win32_LogicalDisk.DeviceID=\"%1:\"")
                    .arg(letter);
            QStringList row;
            for (const QString &property : properties)
                row.append(property == QLatin1String("Antecedent") ? partition : volume);
            rows.append(row);
        }
    }
    if (rows.isEmpty())
        ctx.err->write("No Instance(s) Available.\r\n");
    else
        ctx.out->write(wmicTable(properties, rows, ctx.outIsFile));
    return 0;
}

} // namespace

int runWmic(ToolContext &ctx) {
    const QStringList &args = ctx.arguments;
    if (args.value(0).compare(QLatin1String("path"), Qt::CaseInsensitive) == 0 &&
        args.value(1).compare(QLatin1String("Win32_LogicalDiskToPartition"), Qt::CaseInsensitive) ==
            0)
        return runLogicalDiskToPartition(ctx);
    if (args.value(0).compare(QLatin1String("diskdrive"), Qt::CaseInsensitive) != 0) {
        ctx.err->write(args.value(0).toLocal8Bit() + " - Alias not found.\r\n");
        return kWmicQueryError;
    }
    int i = 1;
    QString whereProperty;
    QString whereValue;
    if (args.value(i).compare(QLatin1String("where"), Qt::CaseInsensitive) == 0) {
        // One comparison: Property='text' or Property=number.
        static const QRegularExpression comparison(
            QStringLiteral("^\\s*(\\w+)\\s*=\\s*(?:'([^']*)'|(\\d+))\\s*$"));
        const QRegularExpressionMatch m = comparison.match(args.value(i + 1));
        whereProperty = canonicalProperty(m.captured(1), kProperties);
        whereValue = m.captured(2) + m.captured(3);
        if (whereProperty.isEmpty())
            return queryError(ctx);
        i += 2;
    }
    if (args.value(i).compare(QLatin1String("get"), Qt::CaseInsensitive) != 0)
        return queryError(ctx);
    const QStringList properties = getList(args.mid(i + 1), kProperties);
    if (properties.isEmpty())
        return queryError(ctx);

    applyDueListingFaults(ctx.root);
    QList<HostDisk> listed;
    QList<QStringList> rows;
    for (const HostDisk &disk : loadDisks(ctx.root)) {
        if (disk.removed ||
            (!whereProperty.isEmpty() &&
             propertyValue(disk, whereProperty).compare(whereValue, Qt::CaseInsensitive) != 0))
            continue;
        listed.append(disk);
        QStringList row;
        for (const QString &property : properties)
            row.append(propertyValue(disk, property));
        rows.append(row);
    }
    noteListed(ctx.root, listed);
    if (listed.isEmpty())
        ctx.err->write("No Instance(s) Available.\r\n");
    else
        ctx.out->write(wmicTable(properties, rows, ctx.outIsFile));
    return 0;
}

} // namespace hostsim

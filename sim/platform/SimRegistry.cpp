#include "sim/platform/SimRegistry.h"

#include <QFile>
#include <QList>
#include <QSaveFile>
#include <QTextStream>

namespace simhost {

namespace {

QString quoteRegistryString(const QString &text) {
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        out += c;
    }
    out += QLatin1Char('"');
    return out;
}

QVariant parseRegistryData(const QString &data, bool *ok) {
    *ok = true;
    if (data.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
        const uint v = data.mid(6).toUInt(ok, 16);
        return *ok ? QVariant(static_cast<int>(v)) : QVariant();
    }
    if (data.size() >= 2 && data.startsWith(QLatin1Char('"')) && data.endsWith(QLatin1Char('"'))) {
        QString out;
        for (int i = 1; i < data.size() - 1; ++i) {
            if (data.at(i) == QLatin1Char('\\') && i + 1 < data.size() - 1)
                ++i;
            out += data.at(i);
        }
        return out;
    }
    *ok = false;
    return QVariant();
}

QString registryFile(const QString &root) {
    return root + QStringLiteral("/registry.reg");
}

struct Entry {
    QString key;
    QString name;
    QString data; // right-hand side as written in the file
};

QList<Entry> readEntries(const QString &root) {
    QList<Entry> entries;
    QFile file(registryFile(root));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entries;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    QString key;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            key = line.mid(1, line.size() - 2);
            continue;
        }
        if (key.isEmpty() || !line.startsWith(QLatin1Char('"')))
            continue;
        // "name"=data; the name may hold escaped quotes.
        int i = 1;
        QString name;
        for (; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c == QLatin1Char('\\') && i + 1 < line.size()) {
                name += line.at(++i);
            } else if (c == QLatin1Char('"')) {
                break;
            } else {
                name += c;
            }
        }
        if (i + 1 >= line.size() || line.at(i + 1) != QLatin1Char('='))
            continue;
        entries.append({key, name, line.mid(i + 2)});
    }
    return entries;
}

bool writeEntries(const QString &root, const QList<Entry> &entries) {
    QSaveFile file(registryFile(root));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "Windows Registry Editor Version 5.00\n";
    QString current;
    for (const Entry &e : entries) {
        if (e.key.compare(current, Qt::CaseInsensitive) != 0 || current.isEmpty()) {
            out << "\n[" << e.key << "]\n";
            current = e.key;
        }
        out << quoteRegistryString(e.name) << '=' << e.data << '\n';
    }
    out.flush();
    return file.commit();
}

QString formatData(const QVariant &value) {
    if (value.type() == QVariant::Int || value.type() == QVariant::UInt ||
        value.type() == QVariant::LongLong) {
        return QStringLiteral("dword:%1").arg(value.toUInt(), 8, 16, QLatin1Char('0'));
    }
    return quoteRegistryString(value.toString());
}

} // namespace

QVariant registryValue(const QString &root, const QString &key, const QString &name) {
    const QList<Entry> entries = readEntries(root);
    for (const Entry &e : entries) {
        if (e.key.compare(key, Qt::CaseInsensitive) == 0 &&
            e.name.compare(name, Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const QVariant v = parseRegistryData(e.data, &ok);
            return ok ? v : QVariant();
        }
    }
    return QVariant();
}

bool setRegistryValue(const QString &root, const QString &key, const QString &name,
                      const QVariant &value) {
    QList<Entry> entries = readEntries(root);
    int at = -1;
    int lastOfKey = -1;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].key.compare(key, Qt::CaseInsensitive) != 0)
            continue;
        lastOfKey = i;
        if (entries[i].name.compare(name, Qt::CaseInsensitive) == 0)
            at = i;
    }
    if (!value.isValid()) {
        if (at >= 0)
            entries.removeAt(at);
    } else if (at >= 0) {
        entries[at].data = formatData(value);
    } else {
        entries.insert(lastOfKey >= 0 ? lastOfKey + 1 : entries.size(),
                       {key, name, formatData(value)});
    }
    return writeEntries(root, entries);
}

} // namespace simhost

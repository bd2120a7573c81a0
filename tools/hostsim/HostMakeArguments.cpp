#include "tools/hostsim/HostMakeArguments.h"

#include "platform/sim/SimRegistry.h"

namespace hostsim {

namespace {

QString mediaTypeOf(const QString &text) {
    const QString lower = text.toLower();
    if (lower == QLatin1String("removable"))
        return QStringLiteral("Removable Media");
    if (lower == QLatin1String("fixed"))
        return QStringLiteral("Fixed hard disk media");
    if (lower == QLatin1String("external"))
        return QStringLiteral("External hard disk media");
    return text;
}

bool parseDisk(const QString &text, simhost::DiskSpec *disk, QString *error) {
    const QStringList parts = text.split(QLatin1Char(':'));
    bool numberOk = false;
    bool sizeOk = true;
    if (parts.size() < 4 || parts.size() > 6 || parts.at(0).isEmpty()) {
        *error = QStringLiteral("--disk wants id:number:model:mediaType[:letter[:size]], got %1")
                     .arg(text);
        return false;
    }
    disk->id = parts.at(0);
    disk->number = parts.at(1).toInt(&numberOk);
    disk->model = parts.at(2);
    disk->mediaType = mediaTypeOf(parts.at(3));
    disk->letter = parts.value(4).toUpper();
    disk->size = parts.size() > 5 ? parts.at(5).toLongLong(&sizeOk) : 16008609792LL;
    if (!numberOk || !sizeOk || disk->letter.size() > 1 ||
        (disk->letter.size() == 1 && !disk->letter.at(0).isLetter())) {
        *error = QStringLiteral("--disk: bad number, letter or size in %1").arg(text);
        return false;
    }
    return true;
}

bool parseKeyValue(const QString &text, QString *key, QVariant *value) {
    const int eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    *key = text.left(eq);
    *value = text.mid(eq + 1);
    return true;
}

} // namespace

bool parseHostMakeArguments(const QStringList &args, HostMakeRequest *request, QString *error) {
    bool disksGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        const QString value = args.value(i + 1);
        auto needValue = [&]() {
            if (!hasValue)
                *error = QStringLiteral("%1 needs a value").arg(arg);
            return hasValue;
        };
        if (!arg.startsWith(QLatin1String("--"))) {
            if (!request->root.isEmpty()) {
                *error = QStringLiteral("more than one host root: %1").arg(arg);
                return false;
            }
            request->root = arg;
        } else if (arg == QLatin1String("--replace")) {
            request->replace = true;
        } else if (arg == QLatin1String("--no-wmic")) {
            request->setup.hasWmic = false;
        } else if (arg == QLatin1String("--not-elevated")) {
            request->setup.elevated = false;
        } else if (arg == QLatin1String("--no-registry")) {
            request->setup.registry.clear();
        } else if (!needValue()) {
            return false;
        } else {
            ++i;
            if (arg == QLatin1String("--disk")) {
                simhost::DiskSpec disk;
                if (!parseDisk(value, &disk, error))
                    return false;
                if (!disksGiven)
                    request->setup.disks.clear();
                disksGiven = true;
                request->setup.disks.append(disk);
            } else if (arg == QLatin1String("--temp")) {
                request->setup.tempDirectory = value;
            } else if (arg == QLatin1String("--system-dir")) {
                request->setup.systemDirectory = value;
            } else if (arg == QLatin1String("--comspec")) {
                request->setup.comspec = value;
            } else if (arg == QLatin1String("--dpi")) {
                bool ok = false;
                request->setup.dpi = value.toInt(&ok);
                if (!ok || request->setup.dpi <= 0) {
                    *error = QStringLiteral("--dpi wants a positive number, got %1").arg(value);
                    return false;
                }
            } else if (arg == QLatin1String("--registry")) {
                const QStringList parts = value.split(QLatin1Char('|'));
                bool ok = parts.size() == 3 && !parts.at(0).isEmpty();
                const QVariant data = ok && parts.at(2).startsWith(QLatin1String("dword:"))
                                          ? simhost::parseRegistryData(parts.at(2), &ok)
                                          : QVariant(parts.value(2));
                if (!ok) {
                    *error = QStringLiteral("--registry wants key|name|value, got %1").arg(value);
                    return false;
                }
                auto &registry = request->setup.registry;
                for (int r = registry.size() - 1; r >= 0; --r) {
                    if (registry.at(r).key.compare(parts.at(0), Qt::CaseInsensitive) == 0 &&
                        registry.at(r).name.compare(parts.at(1), Qt::CaseInsensitive) == 0)
                        registry.removeAt(r);
                }
                registry.append({parts.at(0), parts.at(1), data});
            } else if (arg == QLatin1String("--fault")) {
                QString key;
                QVariant data;
                if (!parseKeyValue(value, &key, &data)) {
                    *error = QStringLiteral("--fault wants key=value, got %1").arg(value);
                    return false;
                }
                request->setup.faults.insert(key, data);
            } else if (arg == QLatin1String("--disk-fault")) {
                const int colon = value.indexOf(QLatin1Char(':'));
                QString key;
                QVariant data;
                if (colon <= 0 || !parseKeyValue(value.mid(colon + 1), &key, &data)) {
                    *error = QStringLiteral("--disk-fault wants id:key=value, got %1").arg(value);
                    return false;
                }
                request->setup.diskFaults[value.left(colon)].insert(key, data);
            } else {
                *error = QStringLiteral("unknown option %1").arg(arg);
                return false;
            }
        }
    }
    if (request->root.isEmpty()) {
        *error = QStringLiteral("no host root given");
        return false;
    }
    for (auto it = request->setup.diskFaults.constBegin();
         it != request->setup.diskFaults.constEnd(); ++it) {
        bool known = false;
        for (const simhost::DiskSpec &disk : request->setup.disks)
            known = known || disk.id == it.key();
        if (!known) {
            *error = QStringLiteral("--disk-fault names no disk: %1").arg(it.key());
            return false;
        }
    }
    return true;
}

} // namespace hostsim

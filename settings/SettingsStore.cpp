#include "settings/SettingsStore.h"

#include <chrono>
#include <thread>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

#include "settings/RegistryText.h"

namespace kelvarox {

namespace {

// A write holds the lock for milliseconds. Another copy asks again after a short pause,
// and gives up after a long wait.
constexpr auto kLockRetry = std::chrono::milliseconds(5);
constexpr int kLockWaitMs = 10000;
// A lock file older than this whose owner no longer holds it is taken over. A live owner
// keeps its file locked at the system level, so it is never taken from it.
constexpr int kStaleLockMs = 2000;

QString NativePath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

bool TakeLock(QLockFile& lock) {
    const QDeadlineTimer deadline(kLockWaitMs);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired()) return false;
        std::this_thread::sleep_for(kLockRetry);
    }
    return true;
}

}  // namespace

SettingsStore::SettingsStore(std::string filePath, Access access) : filePath_(std::move(filePath)), access_(access) {}

SettingsStore SettingsStore::UserStore(Access access) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) return SettingsStore(std::string(), access);
    return SettingsStore(QFile::encodeName(folder + QStringLiteral("/kelvarox/user.reg")).toStdString(), access);
}

SettingsStore::Contents SettingsStore::Read() const {
    Contents contents;
    if (filePath_.empty()) return contents;
    const QString path = NativePath(filePath_);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) return contents;
    contents.state = FileState::Unusable;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) return contents;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return contents;
    auto document = ParseRegistryText(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (!document) return contents;
    contents.state = FileState::Parsed;
    contents.document = std::move(*document);
    return contents;
}

bool SettingsStore::Update(const std::function<bool(RegistryDocument&)>& change) const {
    if (filePath_.empty() || IsReadOnly()) return false;
    const QString path = NativePath(filePath_);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;

    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(kStaleLockMs);
    if (!TakeLock(lock)) return false;

    Contents contents = Read();
    if (contents.state == FileState::Unusable) return false;
    if (!change(contents.document)) return true;

    const std::string text = WriteRegistryText(contents.document);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace kelvarox

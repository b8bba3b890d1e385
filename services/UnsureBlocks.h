#pragma once
// The archive's blocks whose orbit is not sure, read in a thread of its own (a worker object in
// a QThread) with an archive connection of its own, and their orbits set there as
// `kelvarox-cli archive set-orbit` sets them: the window never waits for the archive.
#include <QObject>
#include <QString>
#include <QThread>
#include <atomic>
#include <string>
#include <vector>

#include "archive/Archive.h"

namespace kelvarox {

class UnsureBlocks : public QObject {
    Q_OBJECT
public:
    explicit UnsureBlocks(std::string location, QObject* parent = nullptr);
    // Gives up a connection attempt in progress and waits for the thread.
    ~UnsureBlocks() override;

    // Reads the blocks anew (once, however often it is asked before the read begins).
    void readNow();
    // The block with the SHA-256 `sha256` takes the absolute orbit `orbit`, the blocks after it
    // follow; the blocks are read anew after.
    void setOrbit(const QString& sha256, qint64 orbit);

    // The most blocks listed.
    static constexpr size_t kListed = 1000;

signals:
    void unsureRead(const std::vector<kelvarox::archive::UnsurePlacement>& blocks);
    // The orbit was set and the archive committed it.
    void orbitSet();
    // Setting the orbit failed: why, as the user reads it.
    void failed(const QString& message);

private:
    class Work;
    const std::string location_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> pending_{false};
    QThread thread_;
    Work* work_;  // lives in thread_, which deletes it when it ends
};

}  // namespace kelvarox

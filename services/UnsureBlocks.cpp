#include "services/UnsureBlocks.h"

#include "core/Errors.h"
#include "render/TextCodec.h"

namespace kelvarox {

class UnsureBlocks::Work : public QObject {
public:
    explicit Work(UnsureBlocks& owner) : owner_(owner) {}

    void read() {
        owner_.pending_ = false;
        run(false, [this](archive::Archive& archive) {
            auto blocks = archive.StoredUnsure(kListed);
            post([o = &owner_, blocks = std::move(blocks)] { emit o->unsureRead(blocks); });
        });
    }

    void setOrbit(const std::string& sha256, int64_t orbit) {
        run(true, [&](archive::Archive& archive) {
            archive.SetOrbit(sha256, orbit);
            post([o = &owner_] { emit o->orbitSet(); });
        });
        read();
    }

private:
    template <class Deliver>
    void post(Deliver deliver) {
        QMetaObject::invokeMethod(&owner_, std::move(deliver), Qt::QueuedConnection);
    }

    // Runs `use` on a connection of its own, opened for writing when `write`.
    template <class Use>
    void run(bool write, Use use) {
        if (owner_.stop_) return;
        try {
            archive::WaitHooks hooks;
            hooks.abandon = &owner_.stop_;
            archive::Archive archive(owner_.location_,
                                     write ? archive::Archive::Access::Write : archive::Archive::Access::Read, hooks);
            use(archive);
        } catch (const KelvaroxError& e) {
            // A read that fails (no archive yet) is told by the time line itself, and tried at
            // the next change.
            if (write && !owner_.stop_) post([o = &owner_, text = ToQt(e.what())] { emit o->failed(text); });
        }
    }

    UnsureBlocks& owner_;
};

UnsureBlocks::UnsureBlocks(std::string location, QObject* parent)
    : QObject(parent), location_(std::move(location)), work_(new Work(*this)) {
    work_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, work_, &QObject::deleteLater);
    thread_.start();
}

UnsureBlocks::~UnsureBlocks() {
    stop_ = true;
    thread_.quit();
    thread_.wait();
}

void UnsureBlocks::readNow() {
    if (pending_.exchange(true)) return;
    QMetaObject::invokeMethod(
        work_, [work = work_] { work->read(); }, Qt::QueuedConnection);
}

void UnsureBlocks::setOrbit(const QString& sha256, qint64 orbit) {
    QMetaObject::invokeMethod(
        work_, [work = work_, sha = sha256.toStdString(), orbit] { work->setOrbit(sha, orbit); }, Qt::QueuedConnection);
}

}  // namespace kelvarox

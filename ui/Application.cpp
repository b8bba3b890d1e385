#include "ui/Application.h"

#include <QCoreApplication>

#include "ui/Wod_1.h"
#include "ui/Wod_2.h"
#include "ui/Wod_3.h"
#include "ui/Wod_4.h"

namespace kelvarox {

KelvaroxApplication::KelvaroxApplication(SettingsStore store, Notifier& notifier)
    : quitHandler([] { QCoreApplication::exit(0); }), store_(std::move(store)), notifier_(notifier) {
    wod1_ = std::make_unique<TWod1>(*this);
    wod2_ = std::make_unique<TWod2>(*this);
    wod3_ = new TWod3(*this, wod1_.get());
    wod4_ = new TWod4(*this, wod1_.get());
}

KelvaroxApplication::~KelvaroxApplication() {
    wod2_.reset();
    wod1_.reset();  // and with it the setup and table windows
}

void KelvaroxApplication::Start() { wod1_->show(); }

void KelvaroxApplication::Quit() {
    wod4_->EndFill();  // a table being filled stops with the program
    quitHandler();
}

}  // namespace kelvarox

#include "ui/FoldLink.h"

#include "render/TextCodec.h"
#include "ui/FoldWindow.h"
#include "ui/TimeLineWindow.h"

namespace kelvarox {

void OpenFoldsOf(TimeLineWindow& timeLine, Notifier& notifier) {
    QObject::connect(&timeLine, &TimeLineWindow::foldRequested, &timeLine,
                     [&timeLine, &notifier](const FoldReader::Request& request, const QString& title) {
                         // A child of the time line window: closed with it at the latest.
                         auto* fold = new FoldWindow(request, FromQt(title), notifier, &timeLine);
                         fold->setAttribute(Qt::WA_DeleteOnClose);
                         QObject::connect(fold, &FoldWindow::orbitChosen, &timeLine, &TimeLineWindow::showOrbit);
                         fold->show();
                     });
}

}  // namespace kelvarox

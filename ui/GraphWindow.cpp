#include "ui/GraphWindow.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>

#include "core/Errors.h"
#include "render/GraphScene.h"
#include "render/PictureFile.h"
#include "render/TextCodec.h"
#include "settings/SettingsNames.h"
#include "settings/WindowPosition.h"
#include "ui/ErrorReport.h"
#include "ui/Notifier.h"
#include "ui/WindowFrame.h"
#include "ui_GraphWindow.h"

namespace kelvarox {

GraphWindow::GraphWindow(ProgramState& state, const SettingsStore& store, Notifier& notifier)
    : state_(state), store_(store), notifier_(notifier), ui_(std::make_unique<Ui::GraphWindow>()),
      scene_(state_.DisplayScale()) {
    ui_->setupUi(this);
    setUpClientArea();
    connect(ui_->graphImage, &GraphImage::mouseMoved, this, &GraphWindow::showReadout);
    auto* saveAction = new QAction(QStringLiteral("Save Image..."), this);
    saveAction->setObjectName(QStringLiteral("saveImageAction"));
    connect(saveAction, &QAction::triggered, this, &GraphWindow::saveImage);
    auto* copyAction = new QAction(QStringLiteral("Copy"), this);
    copyAction->setObjectName(QStringLiteral("copyAction"));
    connect(copyAction, &QAction::triggered, this, &GraphWindow::copyImage);
    addActions({saveAction, copyAction});
    setContextMenuPolicy(Qt::ActionsContextMenu);
    RunHandler(notifier_, [this] { MoveTo(this, RestoreWindowPosition(store_, kGraphWindowPrefix)); });
}

GraphWindow::~GraphWindow() = default;

void GraphWindow::setUpClientArea() {
    // The client area is the scene's picture, painted whole; the image only reads the mouse.
    setWindowTitle(QString::fromLatin1(kGraphWindowTitle));
    resize(scene_.Size());
    MakeFixedWindow(this);
    ui_->graphImage->setGeometry(scene_.CanvasPlace());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphWindow::drawGraph(const ChannelBoxTexts& boxes) {
    const std::optional<GraphPicture> picture = state_.BuildGraph(boxes);
    if (!picture) return;
    draw(*picture);
    if (isMinimized()) showNormal();
}

void GraphWindow::draw(const GraphPicture& picture) {
    const bool showWindow = scene_.Draw(picture.steps);
    update();
    readout_ = picture.readout;
    if (showWindow) {
        show();
        raise();  // in front of the other windows
    }
}

void GraphWindow::showReadout(Qt::KeyboardModifiers, int x, int y) {
    const CursorReadout readout = ReadCursor(readout_, x, y);
    const QRect before = scene_.Place(GraphText::OrbitMA) | scene_.Place(GraphText::Value);
    scene_.SetText(GraphText::OrbitMA, readout.orbitMA);
    scene_.SetText(GraphText::Value, readout.value);
    update(before | scene_.Place(GraphText::OrbitMA) | scene_.Place(GraphText::Value));
}

void GraphWindow::saveImage() {
    RunHandler(notifier_, [this] {
        const auto path = notifier_.AskForSaveFile("Save Image", "graph.png", "PNG image (*.png);;SVG picture (*.svg)");
        if (!path) return;
        const auto format = PictureFormatOf(*path, kGraphSaveFormats);
        if (!format) throw KelvaroxError(NoPictureSuffixMessage(*path, kGraphSaveFormats));
        SaveWholeFile(*path, EncodeGraphPicture(scene_, *format));
    });
}

void GraphWindow::copyImage() { QGuiApplication::clipboard()->setImage(scene_.Image()); }

void GraphWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    scene_.Paint(painter);
}

void GraphWindow::closeEvent(QCloseEvent* event) {
    // A position that cannot be stored is reported, and the window closes all the same.
    RunHandler(notifier_, [this] { SaveWindowPosition(store_, kGraphWindowPrefix, PositionOf(this), StateOf(this)); });
    QWidget::closeEvent(event);
}

}  // namespace kelvarox

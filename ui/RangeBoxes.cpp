#include "ui/RangeBoxes.h"

#include "render/TextCodec.h"

namespace kelvarox {

using namespace timeline;

namespace {

const char* const kBadText = "QLineEdit { border: 1px solid #d20000; }";

}  // namespace

RangeBoxes::RangeBoxes(QLineEdit* from, QLineEdit* to, QObject* parent)
    : QObject(parent), from_(from), to_(to), fromTip_(from->toolTip()), toTip_(to->toolTip()) {
    auto dates = std::make_shared<DateLine>();
    dates->Finish();
    dates_ = std::move(dates);
    for (QLineEdit* box : {from_, to_}) {
        connect(box, &QLineEdit::returnPressed, this, &RangeBoxes::apply);
        connect(box, &QLineEdit::textEdited, this, [this, box] { mark(box, {}); });
    }
}

void RangeBoxes::showView(const TimeRange& view, std::shared_ptr<const DateLine> dates,
                          std::shared_ptr<const SatelliteDefinition> satellite) {
    view_ = view;
    dates_ = std::move(dates);
    satellite_ = std::move(satellite);
    showEnds();
}

void RangeBoxes::dropTyping() {
    for (QLineEdit* box : {from_, to_}) {
        box->setModified(false);
        mark(box, {});
    }
}

void RangeBoxes::showEnds() {
    const SatelliteDefinition* satellite = satellite_.get();
    if (!from_->isModified()) from_->setText(ToQt(ViewEndText(view_, RangeEnd::From, fromForm_, *dates_, satellite)));
    if (!to_->isModified()) to_->setText(ToQt(ViewEndText(view_, RangeEnd::To, toForm_, *dates_, satellite)));
}

void RangeBoxes::apply() {
    const TypedRange range =
        ReadTypedRange(from_->text().toStdString(), to_->text().toStdString(), *dates_, satellite_.get());
    mark(from_, range.from.problem);
    mark(to_, range.to.problem);
    if (!range.view) return;
    fromForm_ = range.from.form;
    toForm_ = range.to.form;
    dropTyping();
    emit rangeTyped(*range.view);
}

void RangeBoxes::mark(QLineEdit* box, const std::string& problem) {
    box->setStyleSheet(problem.empty() ? QString() : QString::fromLatin1(kBadText));
    box->setToolTip(problem.empty() ? (box == from_ ? fromTip_ : toTip_) : ToQt(problem));
}

}  // namespace kelvarox

#pragma once
// The time line's From and To boxes: Enter in either reads both and asks for the view between
// them; a text that does not read, or From after To, is framed in red with the reason as its
// tooltip, and the view stays. The boxes show the ends of every view in the form typed into
// each last (orbit and MA, or date), except while the user types in them.
#include <QLineEdit>
#include <QObject>
#include <memory>

#include "core/SatelliteDefinition.h"
#include "timeline/DateLine.h"
#include "timeline/TypedRange.h"

namespace kelvarox {

class RangeBoxes : public QObject {
    Q_OBJECT
public:
    RangeBoxes(QLineEdit* from, QLineEdit* to, QObject* parent = nullptr);

    // The view on display, with the dates and the satellite the texts read and write with.
    void showView(const timeline::TimeRange& view, std::shared_ptr<const timeline::DateLine> dates,
                  std::shared_ptr<const SatelliteDefinition> satellite);
    // The user chose a view: what was typed and not applied gives way to it. The boxes show
    // its ends at the next showView.
    void dropTyping();

signals:
    void rangeTyped(const kelvarox::timeline::TimeRange& view);

private:
    void apply();
    void showEnds();
    void mark(QLineEdit* box, const std::string& problem);

    QLineEdit* from_;
    QLineEdit* to_;
    QString fromTip_, toTip_;  // when the text reads
    timeline::TimeRange view_;
    std::shared_ptr<const timeline::DateLine> dates_;
    std::shared_ptr<const SatelliteDefinition> satellite_;
    timeline::EndForm fromForm_ = timeline::EndForm::Orbit;
    timeline::EndForm toForm_ = timeline::EndForm::Orbit;
};

}  // namespace kelvarox

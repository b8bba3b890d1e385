#include "ui/ChannelListItems.h"

#include <algorithm>
#include <climits>

#include "core/ChannelCatalogue.h"
#include "core/ChannelDefinition.h"
#include "render/TextCodec.h"
#include "timeline/ChannelFilter.h"

namespace kelvarox {

void AddChannelsWithoutBlocks(QTreeWidget* list, const std::vector<int32_t>& channels,
                              const SatelliteDefinition* satellite) {
    if (channels.empty()) return;
    auto* heading = new QTreeWidgetItem(list, {QStringLiteral("No blocks in the archive")});
    heading->setFlags(Qt::NoItemFlags);
    heading->setFirstColumnSpanned(true);
    QFont bold = heading->font(0);
    bold.setBold(true);
    heading->setFont(0, bold);
    std::vector<int32_t> sorted = channels;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    for (const int32_t channel : sorted) {
        const ChannelDefinition definition =
            satellite ? satellite->DefinitionOf(channel, INT64_MAX) : BuiltInDefinition(channel);
        auto* item = new QTreeWidgetItem(list, {ToQt(ChannelCatalogue::ChannelNumberText(channel)),
                                                ToQt(definition.name), ToQt(definition.unit), QStringLiteral("0")});
        item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(0, kChannelRole, channel);
        item->setFlags(Qt::NoItemFlags);  // greyed: a plot of it would stay empty
    }
}

std::vector<int32_t> SatelliteChannels(const SatelliteDefinition* satellite) {
    std::vector<int32_t> channels;
    if (satellite)
        for (const ChannelEntry& entry : satellite->Entries()) channels.push_back(entry.channel);
    return channels;
}

void FilterChannels(QTreeWidget* list, const QString& filter) {
    const std::string typed = filter.toStdString();
    QTreeWidgetItem* heading = nullptr;
    bool below = false;  // a channel below the heading shows
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        if (!item->data(0, kChannelRole).isValid()) {
            heading = item;
            continue;
        }
        const bool shown = timeline::ChannelMatches(item->data(0, kChannelRole).toInt(), item->text(1).toStdString(),
                                                    item->text(2).toStdString(), typed);
        item->setHidden(!shown);
        if (heading && shown) below = true;
    }
    if (heading) heading->setHidden(!below);
}

}  // namespace kelvarox

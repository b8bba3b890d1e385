#include "settings/TimeLineLayout.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <cmath>

#include "core/ChannelCatalogue.h"
#include "core/Errors.h"

namespace kelvarox {

namespace {

constexpr char kFormat[] = "Kelvarox time line layout";

[[noreturn]] void Fail(const std::string& what) { throw KelvaroxError("The layout " + what); }

int32_t ChannelOf(const QJsonValue& value) {
    const QString text = value.toString();
    bool ok = false;
    const uint number = text.startsWith(QLatin1Char('#')) ? text.mid(1).toUInt(&ok, 16) : 0;
    if (!ok || number > 0x7FFFFFFF) Fail("names no channel with \"" + text.toStdString() + "\"");
    return static_cast<int32_t>(number);
}

int32_t WholeNumber(const QJsonObject& object, const char* name, const char* of) {
    const QJsonValue value = object.value(QLatin1String(name));
    if (value.isUndefined()) return 0;
    const double number = value.toDouble(NAN);
    if (!std::isfinite(number) || number != std::trunc(number) || std::abs(number) > 1e9)
        Fail(std::string("has a ") + of + " \"" + name + "\" that is no whole number");
    return static_cast<int32_t>(number);
}

double Orbit(const QJsonObject& view, const char* name) {
    const double orbit = view.value(QLatin1String(name)).toDouble(NAN);
    if (!std::isfinite(orbit)) Fail(std::string("has a view whose \"") + name + "\" is no orbit");
    return orbit;
}

}  // namespace

std::string LayoutText(const TimeLineLayout& layout, LayoutTextStyle style) {
    QJsonObject root{{"format", kFormat}, {"version", TimeLineLayout::kVersion}};
    QJsonArray plots;
    for (const TimeLineLayout::Plot& plot : layout.plots) {
        QJsonArray channels;
        for (const int32_t channel : plot.channels)
            channels.append(QString::fromStdString(ChannelCatalogue::ChannelNumberText(channel)));
        QJsonObject entry{{"channels", channels}};
        if (plot.height > 0) entry.insert(QStringLiteral("height"), plot.height);
        plots.append(entry);
    }
    root.insert(QStringLiteral("plots"), plots);
    if (layout.view)
        root.insert(QStringLiteral("view"), QJsonObject{{"from", layout.view->from}, {"to", layout.view->to}});
    else
        root.insert(QStringLiteral("view"), QStringLiteral("all"));
    root.insert(QStringLiteral("axis"), QString::fromStdString(layout.axis));
    if (const auto& w = layout.window)
        root.insert(QStringLiteral("window"),
                    QJsonObject{{"left", w->left}, {"top", w->top}, {"width", w->width}, {"height", w->height}});
    return QJsonDocument(root)
        .toJson(style == LayoutTextStyle::File ? QJsonDocument::Indented : QJsonDocument::Compact)
        .toStdString();
}

TimeLineLayout ParseLayout(std::string_view text) {
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(text.data(), static_cast<qsizetype>(text.size())), &error);
    if (document.isNull()) Fail("is no JSON text: " + error.errorString().toStdString());
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("format")).toString() != QLatin1String(kFormat))
        Fail(std::string("is no time line layout: its \"format\" is not \"") + kFormat + "\"");
    const int version = WholeNumber(root, "version", "layout");
    if (version < 1) Fail("has no version");
    if (version > TimeLineLayout::kVersion)
        Fail("is of version " + std::to_string(version) + ", newer than this Kelvarox knows (" +
             std::to_string(TimeLineLayout::kVersion) + ")");

    TimeLineLayout layout;
    const QJsonValue plots = root.value(QLatin1String("plots"));
    if (!plots.isArray()) Fail("has no list of \"plots\"");
    for (const QJsonValue& entry : plots.toArray()) {
        const QJsonObject object = entry.toObject();
        const QJsonValue channels = object.value(QLatin1String("channels"));
        if (!channels.isArray() || channels.toArray().isEmpty()) Fail("has a plot without \"channels\"");
        TimeLineLayout::Plot plot;
        for (const QJsonValue& channel : channels.toArray()) plot.channels.push_back(ChannelOf(channel));
        plot.height = WholeNumber(object, "height", "plot");
        if (plot.height < 0) Fail("has a plot of negative height");
        layout.plots.push_back(std::move(plot));
    }
    const QJsonValue view = root.value(QLatin1String("view"));
    if (view.isObject()) {
        layout.view = TimeLineLayout::View{Orbit(view.toObject(), "from"), Orbit(view.toObject(), "to")};
        if (!(layout.view->from < layout.view->to)) Fail("has a view whose \"from\" is not before its \"to\"");
    } else if (!view.isUndefined() && view.toString() != QLatin1String("all")) {
        Fail("has a \"view\" that is neither \"all\" nor from and to");
    }
    const QString axis = root.value(QLatin1String("axis")).toString(QStringLiteral("Orbit"));
    if (axis != QLatin1String("Orbit") && axis != QLatin1String("Calendar"))
        Fail("has an \"axis\" that is neither \"Orbit\" nor \"Calendar\"");
    layout.axis = axis.toStdString();
    if (const QJsonValue window = root.value(QLatin1String("window")); window.isObject()) {
        const QJsonObject w = window.toObject();
        layout.window = TimeLineLayout::Frame{WholeNumber(w, "left", "window"), WholeNumber(w, "top", "window"),
                                              WholeNumber(w, "width", "window"), WholeNumber(w, "height", "window")};
        if (layout.window->width <= 0 || layout.window->height <= 0) Fail("has a window without a size");
    }
    return layout;
}

TimeLineLayout ReadLayoutFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw KelvaroxError("Cannot read the layout file " + path + ": " + file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    try {
        return ParseLayout(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    } catch (const KelvaroxError& e) {
        throw KelvaroxError(path + ": " + e.what());
    }
}

void WriteLayoutFile(const std::string& path, const TimeLineLayout& layout) {
    QSaveFile file(QString::fromStdString(path));
    const std::string text = LayoutText(layout);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.data(), static_cast<qint64>(text.size())) < 0 ||
        !file.commit())
        throw KelvaroxError("Cannot write the layout file " + path + ": " + file.errorString().toStdString());
}

}  // namespace kelvarox

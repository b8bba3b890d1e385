#pragma once
// The widgets of the windows, found by their names as a user's tools find them. A widget that
// is missing fails the test at once.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <stdexcept>
#include <string>

#include "ui/FileListBox.h"
#include "ui/GraphImage.h"

namespace kelvarox::testing {

template <typename T>
T* FormChild(const QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    if (!child) throw std::runtime_error(std::string("the window has no ") + name);
    return child;
}

#define KELVAROX_CHILD(type, name) type* const name = FormChild<type>(window, #name)

struct MainForm {
    explicit MainForm(const QWidget& window) : window(window) {}
    const QWidget& window;
    KELVAROX_CHILD(QWidget, centralwidget);
    KELVAROX_CHILD(QLineEdit, nameEdit);
    KELVAROX_CHILD(QLineEdit, unitEdit);
    KELVAROX_CHILD(QLineEdit, channelEdit);
    KELVAROX_CHILD(QLineEdit, coefficientAEdit);
    KELVAROX_CHILD(QLineEdit, coefficientBEdit);
    KELVAROX_CHILD(QLineEdit, coefficientCEdit);
    KELVAROX_CHILD(QLineEdit, coefficientDEdit);
    KELVAROX_CHILD(QLineEdit, orbitHiByteEdit);
    KELVAROX_CHILD(QLabel, cubeTermLabel);
    KELVAROX_CHILD(FileListBox, blockList);
    KELVAROX_CHILD(QPushButton, loadButton);
    KELVAROX_CHILD(QPushButton, graphButton);
    KELVAROX_CHILD(QPushButton, tableButton);
    KELVAROX_CHILD(QMenu, menu);
    KELVAROX_CHILD(QAction, aboutAction);
    KELVAROX_CHILD(QAction, exitAction);
};

struct GraphForm {
    explicit GraphForm(const QWidget& window) : window(window) {}
    const QWidget& window;
    KELVAROX_CHILD(GraphImage, graphImage);
};

struct SetupForm {
    explicit SetupForm(const QWidget& window) : window(window) {}
    const QWidget& window;
    KELVAROX_CHILD(QLabel, headingLabel);
    KELVAROX_CHILD(QLabel, firstByteLabel);
    KELVAROX_CHILD(QLabel, startAmDayLabel);
    KELVAROX_CHILD(QLabel, endOrbitLabel);
    KELVAROX_CHILD(QLabel, maStepLabel);
    KELVAROX_CHILD(QLabel, channelLabel);
    KELVAROX_CHILD(QLineEdit, startAmDayEdit);
    KELVAROX_CHILD(QLineEdit, endAmDayEdit);
    KELVAROX_CHILD(QLineEdit, startOrbitEdit);
    KELVAROX_CHILD(QLineEdit, endOrbitEdit);
    KELVAROX_CHILD(QLineEdit, startMAEdit);
    KELVAROX_CHILD(QLineEdit, endMAEdit);
    KELVAROX_CHILD(QLineEdit, maStepEdit);
    KELVAROX_CHILD(QLineEdit, channelEdit);
    KELVAROX_CHILD(QPushButton, saveButton);
};

struct TableForm {
    explicit TableForm(const QWidget& window) : window(window) {}
    const QWidget& window;
    KELVAROX_CHILD(QPlainTextEdit, tableText);
};

#undef KELVAROX_CHILD

}  // namespace kelvarox::testing

// What the main window tells a newcomer: a tooltip for every control and
// menu item, the keyboard shortcuts of the commands used most, the list of
// those shortcuts and the guide of the Help menu.
#pragma once

#include <QString>
#include <span>
#include <vector>

class QMainWindow;
class QWidget;

namespace ondrix::ui {

struct Guidance {
  QString object;  // a control's or a menu item's object name
  QString tip;     // what it does, in plain words
  QString keys;    // its shortcut in portable text ("Ctrl+R"), or empty
};

// Every control and menu item of the main window, the twelve soliton
// panels and the eight examples included.
std::span<const Guidance> guidance();

// Example N's button (1..8), as the window layout names it.
const char* exampleButtonName(int number);

// Sets the tooltips of the window's controls and menu items, with the
// shortcut in brackets where there is one, and makes the shortcuts: a menu
// item carries its own (shown in the menu), a button's shortcut presses it.
void applyGuidance(QMainWindow& window);

// Help menu: the keyboard shortcuts and the guide, each in a window of its
// own that stays open beside the main window.
void showShortcuts(QMainWindow& window);
void showGuide(QWidget& parent);

}  // namespace ondrix::ui

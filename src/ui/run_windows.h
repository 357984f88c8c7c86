// The hook between the `tervo` program and its operator windows.  The
// program makes its application object here, so that it is a QApplication
// whenever windows can open, and hands the run over when they can:
//
//   auto app = tervo::ui::MakeApplication(argc, argv);
//   ... parse the options into a core::GatewayConfig ...
//   if (!headless && tervo::ui::WindowsAvailable()) return tervo::ui::RunWithWindows(config);
//
// `--headless`, or no display at all, keeps the program free of widgets.
#pragma once

#include <QCoreApplication>
#include <memory>

#include "core/gateway_builder.h"

namespace tervo::ui {

// A QApplication when the arguments do not ask for --headless and a display
// is there (DISPLAY, WAYLAND_DISPLAY or an explicit QT_QPA_PLATFORM), else a
// QCoreApplication.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv);
// True when the application object can show windows.
bool WindowsAvailable();
// Builds the gateway for config, opens the start-up window (then the main
// window, at once or at the timer's ON time) and runs until the program
// ends.  SIGINT and SIGTERM stop it without a question (an open one is
// closed): the shutdown sequence runs, unsaved changes are saved with "Auto
// Save File" and kept beside the configuration without it.  Returns the
// exit code.
int RunWithWindows(const core::GatewayConfig& config);

}  // namespace tervo::ui

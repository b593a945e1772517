// The configurator's entry point.
#include <QApplication>

#include "ui/startup.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  return trekmor::runConfigurator(app, trekmor::defaultStartupHooks());
}

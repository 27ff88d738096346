#pragma once

// The whole program: the model, the rule server, the main window with the commands of every
// layer, the exchange server and help. The program's main() and every whole-program test
// build it here, so that a test runs the program users start.

#include "app/MainWindow.h"

#include <memory>

namespace tv {

class Model;
class RuleBaseLink;

class Program {
  public:
    explicit Program(MainWindowOptions options = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Model& model() { return *model_; }
    MainWindow& window() { return *window_; }

  private:
    // Destroyed in reverse: the window before the rule server and the model it refers to.
    std::unique_ptr<Model> model_;
    std::unique_ptr<RuleBaseLink> rules_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace tv

#include "app/Program.h"

#include "core/Model.h"
#include "core/RuleServer.h"
#include "exchange/BookingLink.h"
#include "input/InputCommands.h"
#include "input/TotalInputCommands.h"
#include "money/MoneyCommands.h"
#include "render/HandoutCommand.h"
#include "views/AccountSchemeCommands.h"
#include "views/ViewCommands.h"

namespace tv {

Program::Program(MainWindowOptions options) : model_(std::make_unique<Model>()) {
    model_->InitialiseForProgramStart();
    // Rule-based expectations are served by the in-process rule server.
    rules_ =
        std::make_unique<RuleBaseLink>([] { return std::make_unique<LeastSquaresRuleServer>(); });
    model_->Rules = rules_.get();
    window_ = std::make_unique<MainWindow>(*model_, std::move(options));
    // Each layer binds its own menu entries.
    InstallExportBookingCommands(*window_);
    InstallInputCommands(*window_);
    InstallTotalInputCommands(*window_);
    InstallViewCommands(*window_);
    InstallHandoutCommand(*window_);
    InstallMoneyCommands(*window_);
    InstallAccountSchemeCommands(*window_);
}

Program::~Program() = default;

} // namespace tv

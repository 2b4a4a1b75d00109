#include "pages/cart_client.h"

#include "app/cart_controller.h"
#include "fleet/fleet_location.h"
#include "pages/fleet_recorder.h"
#include "pages/ui_services.h"

namespace molvane {

CartClient::CartClient(CartController& controller, UiServices& ui)
    : ui(ui), controller(controller), fleet(std::make_shared<FleetRecorder>(kFleetOff)) {}

CartClient::~CartClient() = default;

CartThread& CartClient::Worker() const { return controller.Worker(); }

void CartClient::Run(CartJob job) {
  CartRunner& runner = cartRunner != nullptr ? *cartRunner : immediate;
  runner.Run(std::move(job));
}

void CartClient::Apart(const std::function<void()>& call) {
  CartRunner& runner = cartRunner != nullptr ? *cartRunner : immediate;
  runner.Apart(call);
}

void CartClient::SetFleetRecorder(std::shared_ptr<FleetRecorder> recorder) {
  if (recorder) fleet = std::move(recorder);
}

void CartClient::TellFleet(const std::string& warning) const {
  if (!warning.empty()) ui.ShowNotice(warning);
}

void CartClient::RecordTransfer(CartWork work, const Outcome& ended) {
  OnCart(
      [fleet = Fleet(), work = std::move(work), ended](CartController& c) {
        fleet->WorkDone(c, work.kind, work.board, work.file, ended.ok, ended.text);
        return fleet->TakeWarning();
      },
      [this](const std::string& warning) { TellFleet(warning); });
}

void CartClient::TellLink(const std::string& text) const { controller.SetMessage(text); }

void CartClient::BeginWaitCursor() { ui.BeginWaitCursor(); }
void CartClient::EndWaitCursor() { ui.EndWaitCursor(); }

}  // namespace molvane

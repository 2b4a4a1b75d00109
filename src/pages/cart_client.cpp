#include "pages/cart_client.h"

#include "app/cart_controller.h"
#include "pages/ui_services.h"

namespace molvane {

CartClient::CartClient(CartController& controller, UiServices& ui)
    : ui(ui), controller(controller) {}

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

void CartClient::TellLink(const std::string& text) const { controller.SetMessage(text); }

void CartClient::BeginWaitCursor() { ui.BeginWaitCursor(); }
void CartClient::EndWaitCursor() { ui.EndWaitCursor(); }

}  // namespace molvane

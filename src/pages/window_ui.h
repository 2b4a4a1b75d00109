#pragma once
#include "pages/page_model.h"
#include "pages/ui_services.h"
#include "pages/window_call.h"

namespace molvane {

// The window's services as the cart thread reaches them: each call goes to the window's thread
// and the cart thread waits for its answer (the connection check still running meanwhile). A
// window that closes answers every open question with its cautious answer (Cancel, No, no file).
// Called from the window's own thread, each call goes straight through.
class WindowUi : public UiServices {
 public:
  WindowUi(UiServices& window, CartThread& thread, WindowDispatch dispatch)
      : window(window), thread(thread), dispatch(std::move(dispatch)) {}

  Answer MessageBox(const std::string& text, Buttons buttons, const std::string& caption) override;
  std::string FileDialog(const FileDialogRequest& request) override;
  std::string ClipboardText() override;
  void SetClipboardText(const std::string& text) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void Beep() override;
  std::optional<std::string> AskForPin() override;
  // The cart thread sleeps; the window goes on.
  void Sleep(int ms) override;
  bool ConfirmChanges(const std::string& title, const std::string& text,
                      const std::vector<std::string>& changes, const std::string& note) override;

 private:
  template <class T>
  T Call(std::function<T()> call, T whenClosed) {
    return OnWindow<T>(thread, dispatch, std::move(call), std::move(whenClosed));
  }
  // Not waited for: the window does it when it comes to it, in the order asked.
  void Send(std::function<void()> call);

  UiServices& window;
  CartThread& thread;
  WindowDispatch dispatch;
};

// A view's field exchange as the cart thread reaches it: copying the controls into the model and
// back happens on the window's thread while the cart thread waits, so the two never touch the
// model's fields at once.
class WindowFields : public FieldExchange {
 public:
  WindowFields(FieldExchange& view, CartThread& thread, WindowDispatch dispatch)
      : view(view), thread(thread), dispatch(std::move(dispatch)) {}
  void ReadAllFields() override;
  void WriteAllFields() override;

 private:
  FieldExchange& view;
  CartThread& thread;
  WindowDispatch dispatch;
};

}  // namespace molvane

#pragma once
#include <functional>
#include <string>
#include <vector>

#include "base/character_filter.h"
#include "cart/pin_list.h"
#include "pages/page_model.h"

namespace molvane {

struct PinListReading;

// The cart's PIN list and its badge and PIN-length settings. The page keeps no PINs of its own:
// every list it shows was just read from the cart, and every change goes to the cart at once.
class PinListPage : public PageModel {
 public:
  static constexpr const char* kInitialMask = "------------";

  using PageModel::PageModel;

  const char* Title() const override { return "Pin List"; }
  void Start() override;
  void Show(bool visible) override;
  void CartNotice(bool present) override;

  // The buttons.
  void Refresh();
  void Add();
  void Remove();
  void GetList() { Refresh(); }
  void CopyAll();
  void Paste();
  void Clear();
  void Import();
  void Export();
  void UpdateMaxDigits();
  void UpdateRfid();

  // The edit fields.
  std::string rfidBits = "--";
  std::string facilityCode = "--";
  std::string rfidMask = kInitialMask;
  std::string maxPinDigits = "4";

  // One line per PIN ("%010u        %3d": the PIN zero-padded, its age in days), in ascending
  // order, and the line the operator selected (-1: none). The view fills its list from these
  // and reports the selection back.
  std::vector<std::string> pinLines;
  int selectedLine = -1;

  // What the mask field lets in: nothing in force until the page is first shown.
  CharacterFilter maskFilter;
  bool refreshPending = false;
  // The lines show a list read whole from the cart; after a failed read they show the last
  // list that was, and Export refuses to write it as the cart's.
  bool listRead = false;
  // The list the lines show, as last read whole.
  PinList pins;

 private:
  // Reads the list and the badge settings, then tells the operator of the change's failure
  // (`action` names the change) and of a read that failed after it. A read that failed keeps the
  // lines as they were;
  // `quietWithoutCart` passes over a read that failed only because no cart is there (a tab
  // shown with the cart away needs no box). The read is a step of its own: a change that was
  // cancelled is still followed by it, so the page shows what the cart now holds.
  void RefreshAfter(const Outcome& change, const std::string& action, bool quietWithoutCart = false,
                    bool whileShown = false);
  void Take(const PinListReading& reading);
  // Runs a change of the list with the cart (`action` names it to the operator), then reads the
  // list again.
  void ChangeThenRefresh(std::function<Outcome(CartController&)> change, const std::string& action);
  bool CartThere(const std::string& action) const;
  // Empties the list and the settings: they were another cart's, or a cart's that is gone.
  void ForgetCart();
};

// "0000000042          0": the PIN zero-padded to ten digits, eight blanks, the age in days
// right-aligned in three places (wider ages in full).
std::string PinListLine(unsigned pin, int ageDays);

}  // namespace molvane

#include "tests/winapp/fake_dialog_services.h"

namespace notora::testing {

int FakeDialogServices::ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption,
                                       UINT type) {
  Box box;
  box.text = text;
  box.caption = caption;
  box.type = type;
  box.owner = owner;
  box.waitCursorShown = ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT);
  boxes.push_back(box);
  if (!answers.empty()) {
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
}

bool FakeDialogServices::GetOpenFileName(OPENFILENAMEW& request) {
  OpenRequest seen;
  seen.owner = request.hwndOwner;
  // The filter ends at its first pair of zeros.
  const wchar_t* filter = request.lpstrFilter;
  std::size_t length = 0;
  while (filter != nullptr && !(filter[length] == L'\0' && filter[length + 1] == L'\0')) ++length;
  if (filter != nullptr) seen.filter.assign(filter, length + 2);
  seen.title = request.lpstrTitle != nullptr ? request.lpstrTitle : L"";
  seen.initialName = request.lpstrFile != nullptr ? request.lpstrFile : L"";
  seen.defaultExtension = request.lpstrDefExt != nullptr ? request.lpstrDefExt : L"";
  seen.flags = request.Flags;
  openRequests.push_back(seen);

  std::optional<std::wstring> choice;
  if (!choices.empty()) {
    choice = choices.front();
    choices.pop_front();
  }
  if (!choice || choice->size() + 1 > request.nMaxFile) return false;
  choice->copy(request.lpstrFile, choice->size());
  request.lpstrFile[choice->size()] = L'\0';
  return true;
}

bool FakeDialogServices::OpenDocument(HWND, const std::wstring& path) {
  openedDocuments.push_back(path);
  return true;
}

std::uint64_t FakeDialogServices::Milliseconds() {
  ++polls;
  if (onPoll) onPoll(polls);
  // Far more than a poll interval per reading.
  now_ += 1000;
  return now_;
}

std::vector<std::wstring> FakeDialogServices::BoxTexts() const {
  std::vector<std::wstring> texts;
  for (const Box& box : boxes) texts.push_back(box.text);
  return texts;
}

}  // namespace notora::testing

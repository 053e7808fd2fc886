#include "sys/setup_message.h"

#include "sys/setup_log.h"

namespace {

int unattended = 0;

const char* AnswerName(int answer) {
  switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "none";
  }
}

const char* Text(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

int UnattendedAnswer(unsigned int type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
    case MB_RETRYCANCEL:
      return IDCANCEL;
    case MB_YESNO:
      return IDNO;
    case MB_ABORTRETRYIGNORE:
      return IDABORT;
    default:
      return IDOK;
  }
}

int ShowSetupMessageOr(HWND owner, const char* text, const char* caption, unsigned int type,
                       int unattendedAnswer) {
  if (unattended) {
    LogAction("Message suppressed, answered %s: %s: %s", AnswerName(unattendedAnswer),
              Text(caption), Text(text));
    FlushSetupLog();
    return unattendedAnswer;
  }
  LogAction("Message shown: %s: %s", Text(caption), Text(text));
  FlushSetupLog();
  const int answer = MessageBoxA(owner, text, caption, type);
  LogAction("Message answered %s", AnswerName(answer));
  return answer;
}

int ShowSetupMessage(HWND owner, const char* text, const char* caption, unsigned int type) {
  return ShowSetupMessageOr(owner, text, caption, type, UnattendedAnswer(type));
}

void SetUnattended(int on) { unattended = on != 0; }

int IsUnattended() { return unattended; }

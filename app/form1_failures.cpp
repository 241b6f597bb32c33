// TForm1's report of the files a run could not write: one box at close that
// names each file and the system's reason, so no failure passes in silence.
#include <string>

#include "app/form1.h"
#include "app/form_texts.h"

void TForm1::ReportWriteFailures() {
  if (writeFailures_.empty()) return;
  std::string text;
  bool refused = false;
  for (const TWriteFailure& f : writeFailures_) {
    if (!text.empty()) text += "\r\n\r\n";
    text += f.headline;
    text += "\r\n";
    text += kFailedFileLabel;
    text += controls_.PathToText(f.path);
    text += "\r\n";
    text += kFailedReasonLabel;
    text += FileErrorReasonSjis(f.error);
    refused = refused || IsAccessDenied(f.error);
  }
  // The usual cause of a refusal: the tool placed where users may not write.
  if (refused) {
    text += "\r\n\r\n";
    text += kToolFolderAdvice;
  }
  writeFailures_.clear();
  controls_.ShowMessage(text);
}

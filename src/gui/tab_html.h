#pragma once
// Tab "HTML": the service text area with the captured page, and the hidden
// working buffers and entry points of the page filter and picture harvest.

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/context.h"
#include "gui/memo_lines.h"

namespace trovik::gui {

class TabHtml : public Tab {
  Q_OBJECT
 public:
  TabHtml(Context& context, QWidget* parent = nullptr);
  void refresh() override;
  void pull() override;

 private:
  QPlainTextEdit* memo1_ = nullptr;
  MemoLines* lines1_ = nullptr;
  QPlainTextEdit* memo4_ = nullptr;   // working list
  QPlainTextEdit* memo6_ = nullptr;   // output list
  QListWidget* listBox2_ = nullptr;   // header link list
  QListWidget* listBox3_ = nullptr;   // page picture list
  QLineEdit* edit8_ = nullptr;        // the header link last clicked
  QPushButton* filter_ = nullptr;     // OdfiltrujLenZaujimave
  QPushButton* header_ = nullptr;     // ZistiCotrebaStiahnutZoZahlavia
  QPushButton* links_ = nullptr;      // SpeedButton19
};

// Plain text areas as the window uses them: fixed font for pages, no wrap.
QPlainTextEdit* MakeMemo(const QString& objectName, QWidget* parent, bool wrap);
// Sets the text only when it differs and marks it unmodified, so pull() sees
// only the user's own edits.
void SetMemoText(QPlainTextEdit* memo, const QString& text);

}  // namespace trovik::gui

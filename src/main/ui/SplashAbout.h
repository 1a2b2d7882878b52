#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class TfSplash;
}

namespace korvo {

class TDM;

inline constexpr const char* kMakerHomePage = "https://www.example.com/korvo2k";
inline constexpr const char* kMakerMail = "mailto:support@example.com?subject=";

// The about box, which also serves as the start-up splash: then it is cut to a height of 233 with
// its Close button, its animation and its lower bevel hidden and no caption.
class TfSplash : public QWidget {
  Q_OBJECT
 public:
  enum class TMode { About, Splash };

  TfSplash(TDM& dm, TMode mode, QWidget* parent = nullptr);
  ~TfSplash() override;

  void FormActivate();
  void bbCloseClick();
  void lHomeClick();
  void lEmailClick();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TMode mode_;
  std::unique_ptr<Ui::TfSplash> ui_;
};

// Shows the splash over everything else for `ms` milliseconds and frees it.
void ShowSplash(TDM& dm, int ms);

}  // namespace korvo

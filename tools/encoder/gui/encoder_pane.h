// The pane of the WAV to MP3 encoder ("Encode/Decode").
#ifndef ORLAVO_TOOLS_ENCODER_GUI_ENCODER_PANE_H_
#define ORLAVO_TOOLS_ENCODER_GUI_ENCODER_PANE_H_

#include <QComboBox>
#include <QLineEdit>
#include <memory>

#include "tools/encoder/wav_encoder.h"
#include "tools/gui/tool_pane.h"
#include "ui/button_set.h"

namespace orlavo {

class CommandButton;
class ReportListView;

class EncoderPane : public ToolPane {
  Q_OBJECT

 public:
  // Without a library the pane binds libmevrit.so of the program folder.
  EncoderPane(const ToolContext& context, QWidget* parent, EncoderLibrary* library = nullptr);
  ~EncoderPane() override;

  ToolCode code() const override { return ToolCode::kEncoder; }
  void ShowTool() override;

  WavEncoder& encoder() { return encoder_; }
  ReportListView* list_view() const { return view_; }
  QComboBox* bitrate_box() const { return bitrate_; }
  QComboBox* mode_box() const { return mode_; }
  QLineEdit* output_folder() const { return output_folder_; }
  CommandButton* run_button() const { return run_; }
  CommandButton* encode_mode_button() const { return encode_mode_; }
  CommandButton* decode_mode_button() const { return decode_mode_; }
  CommandButton* browse_button() const { return browse_; }

  // What a click on "Encode" (the run button) does.
  void RunEncoder();

 protected:
  void RemoveSelectedRows() override { encoder_.RemoveSelectedRows(); }
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowState();

  std::unique_ptr<EncoderLibrary> own_library_;
  WavEncoder encoder_;
  ReportListView* view_;
  ButtonSet buttons_;
  QComboBox* bitrate_;
  QComboBox* mode_;
  QLineEdit* output_folder_;
  CommandButton* run_;
  CommandButton* encode_mode_;
  CommandButton* decode_mode_;
  CommandButton* browse_;
};

}  // namespace orlavo

#endif  // ORLAVO_TOOLS_ENCODER_GUI_ENCODER_PANE_H_

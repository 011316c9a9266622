#pragma once
// What the form tells the control object: the events of ITwainFormEvents.
// The values are the events' DISPIDs.
namespace pagewell {

enum class FormEvent {
  Activate = 201,
  Click = 202,
  Create = 203,
  DblClick = 204,
  Destroy = 205,
  Deactivate = 206,
  KeyPress = 207,
  Paint = 208,
  FinishUpload = 209,
  StartUpload = 210,
  Select = 211,
  CustomClick = 212,
  Acquire = 213,
  SaveLocal = 214,
};

class FormEventSink {
 public:
  virtual void raise(FormEvent event) = 0;
  // Raises OnKeyPress and answers the key as the page left it.
  virtual short raiseKeyPress(short key) = 0;

 protected:
  ~FormEventSink() = default;
};

}  // namespace pagewell

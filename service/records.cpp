#include "service/records.h"

#include "i18n/lookup.h"
#include "service/job_link.h"

namespace velta::service {

ChannelHandle OpenReadLink(const ConnectionSettings& settings, Feedback& feedback,
                           JobResult& failure) {
  ChannelHandle link =
      OpenJobLink(settings, feedback, _("Fehler beim Öffnen der Schnittstelle!"), failure);
  if (!link.IsOpen()) {
    feedback.Beep();
    CheckVersion(0, feedback);
  }
  return link;
}

ReadResult ReadKnown(const ChannelHandle& link, Feedback& feedback, Records& records, int first,
                     int last) {
  ReadResult read = ReadRange(link, feedback, first, last);
  if (read.success) {
    records.baselines.ControllerRead(first, read.data);
    records.history.NoteVersion(read.version);
  }
  return read;
}

}  // namespace velta::service

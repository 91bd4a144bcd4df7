#include "exchange/EntryFields.h"

namespace exchange {

EntryView ViewOf(const TDataRecord& record) {
    return EntryView{record.ID,        record.Language(),    record.ErrorType(),
                     record.Project(), record.Description(), record.Date,
                     record.TimeNeeded};
}

TRecordData MakeRecord(EntryData&& data) {
    TRecordData record;
    record.Language = std::move(data.language);
    record.ErrorType = std::move(data.category);
    record.Project = std::move(data.project);
    record.Description = std::move(data.description);
    record.Date = data.date;
    record.TimeNeeded = data.minutes;
    return record;
}

} // namespace exchange

#include "terminal/sequences/TroubleCodeLog.h"

#include <algorithm>

#include "terminal/recording/ExportNames.h"

namespace terminal::sequences {

void TroubleCodeLog::observe(double seconds, const DashboardState& panel) {
    for (const TroubleCodeBoxName& box : troubleCodeBoxes) {
        for (const TroubleCode& code : troubleCodesShown(box, panel)) {
            const auto known = std::find_if(codes_.begin(), codes_.end(), [&](const auto& seen) {
                return seen.list == box.caption && seen.spn == code.spn && seen.fmi == code.fmi;
            });
            if (known == codes_.end()) {
                codes_.push_back({std::string(box.caption), code.spn, code.fmi, code.oc, code.cm,
                                  seconds, seconds});
            } else {
                known->oc = code.oc;
                known->cm = code.cm;
                known->lastSeconds = seconds;
            }
        }
    }
}

}  // namespace terminal::sequences

#pragma once

// Filter flag of one listed value: true means the value is ticked.
class TFilter {
public:
    bool Checked = true;
};

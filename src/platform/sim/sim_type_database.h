#pragma once

// The simulated content-type database: the system's names for Apple device
// model codes, with artwork drawn here for Apple TVs, iPads and Macs.
// Immutable after construction, so safe from any thread.

#include <map>
#include <string>

#include "platform/type_database.h"

namespace kd {

class SimTypeDatabase : public TypeDatabase {
  public:
    SimTypeDatabase();
    std::vector<ContentType> types(const std::string& tag,
                                   const std::string& tagClass) const override;

  private:
    enum class Art { appleTV, iPad, macLaptop };
    struct Entry {
        std::string description;
        Art art;
    };
    std::map<std::string, Entry> byModel_;
};

}  // namespace kd

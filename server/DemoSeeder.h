#pragma once

// What "serve --seed-demo" puts into an empty service: the demo subscriber Jane Doe (5551234567,
// password 1234) with one voice message and two texts waiting, the subscriber who sent one of
// them, a sponsor and a vendor picture. Nothing that exists already is touched.

namespace vandu::server {

class CServiceStore;

inline constexpr const char* kDemoId = "5551234567";
inline constexpr const char* kDemoPassword = "1234";
inline constexpr const char* kDemoSenderId = "5559876543";

class CDemoSeeder {
public:
    // 0 on success (also when everything was there), -1 when the store failed; all in one
    // transaction, so a failure leaves nothing half seeded.
    static int Seed(CServiceStore& store);
};

} // namespace vandu::server

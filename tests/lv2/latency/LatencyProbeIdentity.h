#pragma once

namespace latency_probe_identity {

inline constexpr char kLV2URI[] = "urn:orvanta:tests:latencyprobe";
inline constexpr char kLV2UIURI[] = "urn:orvanta:tests:latencyprobe#ui";
inline constexpr char kLV2StateURI[] = "urn:orvanta:tests:latencyprobe#state";

}  // namespace latency_probe_identity

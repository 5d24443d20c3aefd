// A module for the header checks to take apart. Its data is large enough
// that the file runs past 64 KB and a read-only segment ends well into it.
extern "C" {
extern const unsigned char plasma_fixture_payload[96 * 1024];
const unsigned char plasma_fixture_payload[96 * 1024] = {1};

int plasma_fixture_entry() {
    return plasma_fixture_payload[0];
}
}

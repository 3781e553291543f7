// A program that does nothing: its start-up time is the baseline for what FaultTrap adds
// (trivial_plain against trivial_faulttrap).

int main() {
    return 0;
}

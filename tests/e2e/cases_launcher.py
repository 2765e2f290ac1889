"""End-to-end tests of the launcher (filled in as they are built)."""

TESTS = {}
LIMITS = {}

Tarnwell sample package: placeholder for the driver file tickle_test.las.
It stands in for the maker's file in tests and demos.

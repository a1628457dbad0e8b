Tarnwell sample package: placeholder for the driver file alignment_test_4.las.
It stands in for the maker's file in tests and demos.

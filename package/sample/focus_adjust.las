Tarnwell sample package: placeholder for the driver file focus_adjust.las.
It stands in for the maker's file in tests and demos.

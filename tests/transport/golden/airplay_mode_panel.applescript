with timeout of 25 seconds
tell application "System Events"
  tell process "ControlCenterHelper"
    -- The panel takes a moment to appear, and on macOS versions that do not
    -- ask at all it never will. Waiting a bounded number of times and then
    -- reporting "none" is not a failure — it is the older behaviour.
    set seen to false
    repeat @TICKS@ times
      if (count windows) > 0 then
        set seen to true
        exit repeat
      end if
      delay 0.4
    end repeat
    if not seen then return "none"
    set g to group 1 of window 1
    -- Only answer for the display we just connected. If the panel is about
    -- something else, leave it alone rather than guessing on the user's
    -- behalf.
    set titled to ""
    try
      set titled to (value of static text 1 of g) as text
    end try
    if titled is not "" and "@NAME@" is not "" then
      if titled does not contain "@NAME@" then return "other:" & titled
    end if
    set bigX to {}
    set bigI to {}
    set n to count (every button of g)
    repeat with i from 1 to n
      try
        set sz to size of button i of g
        if (item 1 of sz) > 100 and (item 2 of sz) > 100 then
          set end of bigX to (item 1 of (position of button i of g))
          set end of bigI to i
        end if
      end try
    end repeat
    -- The policy set before the menu was opened already preselects the right
    -- card, so confirming alone is the whole job. Picking the card is belt
    -- and braces for a macOS where the policy call is refused — and if the
    -- layout is not one we recognise, confirm anyway rather than walking
    -- away and leaving the television asking.
    if (count bigI) < 3 then
      set m to count (every button of g)
      if m < 2 then return "shape:" & (count bigI) & "/" & n
      click button m of g
      return "confirmed"
    end if
    set pickAt to 1
    set bestX to item 1 of bigX
    repeat with k from 2 to (count bigI)
      set x to item k of bigX
      if @COMPARISON@ then
        set bestX to x
        set pickAt to k
      end if
    end repeat
    click button (item pickAt of bigI) of g
    delay 1.2
    -- Confirm. Its title follows the selection, so it is taken as the last
    -- button in the group rather than by name.
    set m to count (every button of group 1 of window 1)
    if m < 4 then return "noconfirm:" & m
    click button m of group 1 of window 1
    return "chose"
  end tell
end tell
end timeout